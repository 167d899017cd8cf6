#pragma once

// How the JPEG readers here take libjpeg's errors: its error callback must not return, so it
// jumps back to the setjmp of the reader, which owns no object with a destructor between the jump
// and its target and words what went wrong after it.

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs the declarations of <cstdio> before it.
#include <jpeglib.h>

namespace tk::jpeg {

struct Errors {
    jpeg_error_mgr manager; // first: libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf failed;
};

// libjpeg's errors on `info` jump to `errors.failed`, and its warnings are not printed.
void reportErrorsTo(jpeg_decompress_struct& info, Errors& errors);

} // namespace tk::jpeg
