// Our side of the codec jobs.
#include "bench/CodecJobs.h"

#include "ldap/Add.h"
#include "ldap/Ber.h"
#include "ldap/OrnQuery.h"
#include "ldap/io.h"

namespace {

constexpr uint8_t kOptions = BER_MINIMAL_LENGTHS;

class OrnJobs final : public CodecJobs {
public:
    explicit OrnJobs(const AddInput& input)
    {
        valueLists_ = input.valuePointers();
        for (std::size_t i = 0; i < input.types.size(); ++i) {
            AttrMod mod{};
            mod.op = ATTR_MOD_ADD;
            mod.type = const_cast<char*>(input.types[i].c_str());
            mod.values = valueLists_[i].data();
            mods_.push_back(mod);
        }
        for (AttrMod& mod : mods_)
            modPointers_.push_back(&mod);
        modPointers_.push_back(nullptr);
    }

    std::size_t encodeSearch(const char* filter, char** attrs) override
    {
        BerBuffer* ber = nullptr;
        OrnSearch("", filter, attrs, 0, 2, 0, 0, 0, kOptions, &ber, ++msgid_);
        return finish(ber);
    }

    std::size_t encodeAdd(const AddInput& input) override
    {
        BerBuffer* ber = nullptr;
        OrnAdd(input.dn.c_str(), modPointers_.data(), kOptions, &ber, ++msgid_);
        return finish(ber);
    }

    std::size_t decodeEntry(const std::vector<uint8_t>& message) override
    {
        DecodedMessage decoded{};
        if (Decode(message.data(), static_cast<uint32_t>(message.size()), kOptions, &decoded) != 0 || !decoded.entry)
            return 0;
        std::size_t copied = 0;
        for (AttrRecord* attr = decoded.entry->attrs; attr; attr = attr->next)
            for (ValueRecord* value = attr->values; value; value = value->next)
                ++copied;
        OrnFreeResult(decoded.entry);
        return copied;
    }

private:
    std::size_t finish(BerBuffer* ber)
    {
        if (!ber)
            return 0;
        std::size_t size = ber->len;
        codec_.ber_free(ber, 1);
        return size;
    }

    BerCodec codec_;
    int32_t msgid_ = 0;
    std::vector<std::vector<char*>> valueLists_;
    std::vector<AttrMod> mods_;
    std::vector<AttrMod*> modPointers_;
};

} // namespace

CodecJobs* newOrnJobs(const AddInput& input)
{
    return new OrnJobs(input);
}

std::vector<uint8_t> searchEntryMessage(const AddInput& input)
{
    // SearchResultEntry ::= [APPLICATION 4] SEQUENCE { objectName, attributes }
    BerCodec codec;
    BerBuffer* ber = codec.ber_alloc(kOptions);
    codec.ber_printf(ber, "{it{s{", 7, 0x64u, input.dn.c_str());
    std::vector<std::vector<char*>> valueLists = input.valuePointers();
    for (std::size_t i = 0; i < input.types.size(); ++i)
        codec.ber_printf(ber, "{s[v]}", input.types[i].c_str(), valueLists[i].data());
    codec.ber_printf(ber, "}}}");
    std::vector<uint8_t> message(ber->buf, ber->ptr);
    codec.ber_free(ber, 1);
    return message;
}
