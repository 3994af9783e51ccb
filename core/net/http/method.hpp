#pragma once

namespace core::net::http {

// Request methods by the integer codes callers store in a request.
namespace method {
inline constexpr int head = 1;
inline constexpr int get = 2;
inline constexpr int put = 3;
inline constexpr int post = 4;
inline constexpr int del = 5;
}  // namespace method

// The verb sent for a method code; any unknown code, 0 included, is sent as
// "UNSUPPORTED".
const char* verb(int method);

}  // namespace core::net::http
