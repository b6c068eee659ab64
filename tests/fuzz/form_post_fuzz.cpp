// Any bytes as a form post and as a template: the decoder must give pairs
// that a browser's encoding carries back unchanged, and the template reader
// must parse or refuse with a reason.
#include "templates/FormPost.h"
#include "templates/XmlTemplate.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<FormPair> pairs = DecodeFormPost(input);
    // Line breaks go as CR LF: compare what a second round leaves.
    std::vector<FormPair> once = DecodeFormPost(EncodeFormPost(pairs));
    if (DecodeFormPost(EncodeFormPost(once)) != once)
        std::abort();
    (void)ActionOf(pairs);
    XmlError error;
    if (!ParseTemplate(input, error) && error.reason.empty())
        std::abort();
    return 0;
}
