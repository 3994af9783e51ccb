// lumbrel-send-photo: sends a batch of photos through the Lumbrel web service.
#include "ui/app/application_run.hpp"

int main(int argc, char** argv) {
  return parvel::app_main(argc, argv);
}
