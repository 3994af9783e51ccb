#include "core/graphics/gdip/status.hpp"

namespace core::graphics::gdip {

std::string status_text(status s) {
  switch (s) {
    case status::ok:
      return "Ok.";
    case status::generic_error:
      return "An error on the method call.";
    case status::invalid_parameter:
      return "One of the arguments passed to the method is not valid.";
    case status::out_of_memory:
      return "Could not allocate memory to process the method call.";
    case status::object_busy:
      return "One of the arguments specified in the API call is already in use in another "
             "thread.";
    case status::insufficient_buffer:
      return "A buffer is not large enough to hold the data to be received.";
    case status::not_implemented:
      return "The method is not implemented.";
    case status::win32_error:
      return "The method generated a Microsoft Win32 error.";
    case status::wrong_state:
      return "The object is in an invalid state to satisfy the API call.";
    case status::aborted:
      return "The method was aborted.";
    case status::file_not_found:
      return "The specified image file or metafile cannot be found.";
    case status::value_overflow:
      return "The method performed an arithmetic operation that produced a numeric overflow.";
    case status::access_denied:
      return "A write operation is not allowed on the specified file.";
    case status::unknown_image_format:
      return "The specified image file format is not known.";
    case status::font_family_not_found:
      return "The specified font family cannot be found.";
    case status::font_style_not_found:
      return "The specified style is not available for the specified font family.";
    case status::not_true_type_font:
      return "The font retrieved from an HDC or LOGFONT is not a TrueType font and cannot be "
             "used with GDI+.";
    case status::unsupported_gdiplus_version:
      return "The version of GDI+ that is installed on the system is incompatible with the "
             "version with which the application was compiled.";
    case status::gdiplus_not_initialized:
      return "The GDI+ API is not in an initialized state.";
    case status::property_not_found:
      return "The specified property does not exist in the image.";
    case status::property_not_supported:
      return "The specified property is not supported by the format of the image and, "
             "therefore, cannot be set.";
  }
  return "Unrecognized GDI+ Error.";
}

}  // namespace core::graphics::gdip
