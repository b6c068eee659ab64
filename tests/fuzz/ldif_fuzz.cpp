// Any bytes as an LDIF file: the reader must hand out records without
// crashing or hanging, and every record it accepts must come back the same
// after the export's writer has written it and the reader has read it again.
#include "tools/ldif/LdifReader.h"
#include "tools/ldif/LdifWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

std::string written(const LdifRecord& record)
{
    std::string out;
    AppendLdifLine(out, "dn", record.dn);
    for (const LdifAttribute& attribute : record.attributes)
        for (const std::string& value : attribute.values)
            AppendLdifLine(out, attribute.type, value);
    return out + "\n";
}

bool same(const LdifRecord& a, const LdifRecord& b)
{
    if (a.dn != b.dn || a.attributes.size() != b.attributes.size() || b.faultLine != 0)
        return false;
    for (std::size_t i = 0; i < a.attributes.size(); ++i)
        if (a.attributes[i].type != b.attributes[i].type || a.attributes[i].values != b.attributes[i].values)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    LdifReader reader(in);
    LdifRecord record;
    uint64_t last = 0;
    while (reader.next(record)) {
        if (reader.position() < last || reader.position() > size)
            std::abort();
        last = reader.position();
        if (record.faultLine != 0)
            continue;
        std::istringstream again(written(record));
        LdifReader rereader(again);
        LdifRecord reread;
        if (!rereader.next(reread) || !same(record, reread) || rereader.next(reread))
            std::abort();
    }
    return 0;
}
