// The text a template form posts, as a browser encodes a form
// (application/x-www-form-urlencoded): name=value pairs joined by "&", the
// clicked submit button's pair last.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FormPair {
    std::string name, value;
    bool operator==(const FormPair&) const = default;
};

// A browser's encoding: UTF-8 bytes, letters, digits and "*-._" as they
// are, a blank as "+", every other byte as %XX; line breaks go as CR LF.
std::string EncodeFormPost(const std::vector<FormPair>& pairs);

// Split at "&" first and each pair at its first "=", then every name and
// value decoded once: "+" a blank, %XX its byte. So what the user typed
// comes back unchanged, "&", "%", "+", "=" and non-ASCII letters included.
// A malformed escape is kept as it stands.
std::vector<FormPair> DecodeFormPost(std::string_view posted);

// What the post asks for, by its submit pair ("submit", any case).
enum class FormAction {
    Create, // submit=ok
    Modify, // submit=modify: back to the template editor
    Close, // cancel or anything else
    NoSubmit, // the stylesheet drew no submit button
};
FormAction ActionOf(const std::vector<FormPair>& pairs);
