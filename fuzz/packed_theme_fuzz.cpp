// Arbitrary bytes as a packed MS-styles theme (the inflated contents: the
// fuzzer's bytes are deflated first, so it explores the package reader rather
// than zlib's checksums), and as a raw packed form.
#include "platform/quillon_error.h"
#include "theme/msstyles/theme_msux_package.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    for (const std::string &packed : {std::string(quillon::MsStylesSignature) + quillon::DeflateZlib(bytes, 1),
                                      std::string(quillon::MsStylesSignature) + bytes}) {
        try {
            if (auto package = quillon::ReadPackedTheme(packed))
                quillon::WritePackedTheme(*package);
        } catch (const quillon::QuillonError &) {
        }
    }
    return 0;
}
