// Whole transfers over pipes and files, past signals that interrupt a call
// and past short reads and writes.
#pragma once

#include <cstddef>

namespace hostsupport {

// Writes all size bytes; false when the other end is gone or on an error.
bool WriteAll(int fd, const void* data, size_t size);
// Reads exactly size bytes; false at the end of the stream or on an error.
bool ReadAll(int fd, void* data, size_t size);
// What is there, up to size bytes; 0 at the end of the stream or on an error.
size_t ReadSome(int fd, void* data, size_t size);

}  // namespace hostsupport
