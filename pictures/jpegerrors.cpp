#include "jpegerrors.h"

#include <type_traits>

namespace tk::jpeg {

namespace {

static_assert(std::is_standard_layout_v<Errors>);

void jumpBack(j_common_ptr common) {
    std::longjmp(reinterpret_cast<Errors*>(common->err)->failed, 1);
}

void silent(j_common_ptr) {}

} // namespace

void reportErrorsTo(jpeg_decompress_struct& info, Errors& errors) {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    errors.manager.output_message = silent;
}

} // namespace tk::jpeg
