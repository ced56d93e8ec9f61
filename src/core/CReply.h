#pragma once

#include <cstdlib>
#include <memory>

namespace nudgewatch {

// Frees what a C library handed over from malloc: xcb's replies, events and errors.
struct FreeDeleter {
    void operator()(void *block) const { std::free(block); }
};

template <typename T> using CReply = std::unique_ptr<T, FreeDeleter>;

// Owns `reply` (null stays null): `const auto r = owned(xcb_..._reply(...));`
template <typename T> CReply<T> owned(T *reply)
{
    return CReply<T>(reply);
}

} // namespace nudgewatch
