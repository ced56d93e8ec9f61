#pragma once

#include <cstdlib>
#include <memory>

namespace nudgewatch {

// Frees what a C library handed over from malloc: xcb's replies, events and errors.
struct FreeDeleter {
    void operator()(void *block) const { std::free(block); }
};

template <typename T> using CReply = std::unique_ptr<T, FreeDeleter>;

// Frees a C library's object with the library's own function.
template <auto Free> struct FunctionDeleter {
    template <typename T> void operator()(T *object) const { Free(object); }
};

// Owns an object a C library handed over: CHandle<GKeyFile, g_key_file_free>.
template <typename T, auto Free> using CHandle = std::unique_ptr<T, FunctionDeleter<Free>>;

// Owns `reply` (null stays null): `const auto r = owned(xcb_..._reply(...));`
template <typename T> CReply<T> owned(T *reply)
{
    return CReply<T>(reply);
}

} // namespace nudgewatch
