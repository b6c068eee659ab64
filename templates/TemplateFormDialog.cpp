#include "templates/TemplateFormDialog.h"

#include "browser/AppContext.h"
#include "browser/Desktop.h"
#include "browser/Trimmed.h"
#include "templates/FormCreation.h"
#include "templates/FormPost.h"

#include <strings.h>

#include <algorithm>
#include <charconv>

namespace {

// XPath's normalize-space, which the stylesheet applies to names.
std::string collapsed(const std::string& text)
{
    std::string out;
    for (char c : Trimmed(text, " \t\r\n")) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank)
            out += c;
        else if (out.back() != ' ')
            out += ' ';
    }
    return out;
}

InputKind kindOf(const std::string& input)
{
    if (strcasecmp(input.c_str(), "Password") == 0)
        return InputKind::Password;
    if (strcasecmp(input.c_str(), "TextArea") == 0)
        return InputKind::TextArea;
    return InputKind::TextBox;
}

// A browser ignores a size or length that is not a whole positive number.
int numberOf(const std::string& text)
{
    const std::string digits = collapsed(text);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() && end == digits.data() + digits.size() && value > 0 ? value : 0;
}

std::string withoutLineBreaks(std::string text)
{
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

} // namespace

TemplateFormDialog::TemplateFormDialog(
    AppContext& context, std::string fileName, XmlTemplate form, std::string& labelText)
    : context_(context)
    , fileName_(std::move(fileName))
    , form_(std::move(form))
    , labelText_(labelText)
{
    for (const TemplateField& field : form_.fields) {
        FormControl control;
        control.name = collapsed(field.name);
        control.label = collapsed(field.displayName).empty() ? control.name : field.displayName;
        control.kind = kindOf(field.input);
        control.value
            = control.kind == InputKind::TextArea ? field.defaultValue : withoutLineBreaks(field.defaultValue);
        control.size = numberOf(field.size);
        control.maxLength = control.kind == InputKind::TextArea ? 0 : numberOf(field.maxLength);
        control.color = collapsed(field.color);
        controls_.push_back(std::move(control));
    }
}

void TemplateFormDialog::setValue(int control, std::string text)
{
    if (control < 0 || control >= static_cast<int>(controls_.size()))
        return;
    FormControl& target = controls_[static_cast<std::size_t>(control)];
    target.value = target.kind == InputKind::TextArea ? std::move(text) : withoutLineBreaks(std::move(text));
    changed();
}

std::string TemplateFormDialog::posted(const std::string& submit) const
{
    std::vector<FormPair> pairs;
    for (const FormControl& control : controls_)
        pairs.push_back({ control.name, control.value });
    pairs.push_back({ "submit", submit });
    return EncodeFormPost(pairs);
}

void TemplateFormDialog::receive(std::string_view posted)
{
    std::vector<FormPair> pairs = DecodeFormPost(posted);
    switch (ActionOf(pairs)) {
    case FormAction::Modify:
        modifyRequested_ = true;
        end(DialogResult::Cancel);
        return;
    case FormAction::Create: {
        // The fields are the pairs before the submit pair.
        auto submit = std::find_if(pairs.rbegin(), pairs.rend(),
            [](const FormPair& pair) { return strcasecmp(pair.name.c_str(), "submit") == 0; });
        pairs.erase(std::prev(submit.base()), pairs.end());
        if (CreateFromForm(context_, form_, pairs, labelText_) != DialogResult::None)
            end(DialogResult::Ok);
        return;
    }
    case FormAction::NoSubmit:
        context_.desktop.error(" Error in Stylesheet.xsl", "Error");
        break;
    case FormAction::Close:
        break;
    }
    end(DialogResult::Ok);
}
