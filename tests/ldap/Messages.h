// Responses as a server sends them, built with our own encoder so that a
// test can vary their shape and size.
#pragma once

#include "tests/support/BerWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using Values = std::vector<std::string>;
using Attrs = std::vector<std::pair<std::string, Values>>;

inline Bytes entryMessage(int32_t msgid, const std::string& dn, const Attrs& attrs)
{
    Writer w;
    bool ok = w.codec.ber_printf(w.ber, "{it{o{", msgid, 0x64u, dn.data(), uint32_t(dn.size())) != -1;
    for (const auto& [type, values] : attrs) {
        ok = ok && w.codec.ber_printf(w.ber, "{o[", type.data(), uint32_t(type.size())) != -1;
        for (const std::string& value : values)
            ok = ok && w.codec.ber_printf(w.ber, "o", value.data(), uint32_t(value.size())) != -1;
        ok = ok && w.codec.ber_printf(w.ber, "]}") != -1;
    }
    EXPECT_TRUE(ok && w.codec.ber_printf(w.ber, "}}}") != -1);
    return w.bytes();
}

inline Bytes resultMessage(
    int32_t msgid, uint32_t opTag, int32_t code, const std::string& matched = "", const std::string& text = "")
{
    Writer w;
    EXPECT_NE(w.codec.ber_printf(w.ber, "{it{eoo}}", msgid, opTag, code, matched.data(), uint32_t(matched.size()),
                  text.data(), uint32_t(text.size())),
        -1);
    return w.bytes();
}
