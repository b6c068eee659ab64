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
