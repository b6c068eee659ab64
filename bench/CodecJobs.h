// The three codec jobs, done once by our library and once by OpenLDAP's.
// Each side lives in its own translation unit because the two libraries'
// headers name some of the same things; only neutral types cross here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct AddInput {
    std::string dn;
    std::vector<std::string> types;
    std::vector<std::vector<std::string>> values; // per type

    // Each type's values as the null-terminated array both libraries take.
    std::vector<std::vector<char*>> valuePointers() const
    {
        std::vector<std::vector<char*>> lists;
        for (const auto& list : values) {
            std::vector<char*> pointers;
            for (const std::string& value : list)
                pointers.push_back(const_cast<char*>(value.c_str()));
            pointers.push_back(nullptr);
            lists.push_back(std::move(pointers));
        }
        return lists;
    }
};

struct CodecJobs {
    virtual ~CodecJobs() = default;
    // Each returns the number of bytes produced or values copied, so the
    // work cannot be optimised away; 0 means the job failed.
    virtual std::size_t encodeSearch(const char* filter, char** attrs) = 0;
    virtual std::size_t encodeAdd(const AddInput& input) = 0;
    virtual std::size_t decodeEntry(const std::vector<uint8_t>& message) = 0;
};

CodecJobs* newOrnJobs(const AddInput& input);
CodecJobs* newOpenLdapJobs(const AddInput& input);

// The search entry message the decode job reads, built from input.
std::vector<uint8_t> searchEntryMessage(const AddInput& input);
