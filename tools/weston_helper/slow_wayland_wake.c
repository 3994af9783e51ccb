// Preloaded into the program by the Wayland tests: holds each of Qt's Wayland
// event threads 100 ms after every wake from a condition wait, as a loaded
// machine may, so that the program's teardown meets those threads late.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <string.h>
#include <time.h>

typedef int (*cond_wait_function)(pthread_cond_t*, pthread_mutex_t*);

int pthread_cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex) {
  static cond_wait_function next;
  if (!next) {
    next = (cond_wait_function)dlvsym(RTLD_NEXT, "pthread_cond_wait", "GLIBC_2.3.2");
  }
  const int result = next(cond, mutex);
  char name[16] = "";
  pthread_getname_np(pthread_self(), name, sizeof name);
  // Qt names both threads so, cut to the 15 characters a thread name keeps.
  if (strcmp(name, "WaylandEventThr") == 0) {
    const struct timespec hold = {0, 100 * 1000 * 1000};
    nanosleep(&hold, NULL);
  }
  return result;
}
