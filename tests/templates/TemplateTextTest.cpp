// Template documents and form posts without a server: what a browser's
// encoding carries, what the decoder gives back, and what a template holds.
#include "templates/FormPost.h"
#include "templates/XmlTemplate.h"

#include <gtest/gtest.h>

TEST(FormPost, WhatWasTypedComesBackUnchanged)
{
    const std::vector<std::string> values { "plain", "a (b) c", "Smith & Sons", "100% + 5 = x", "Zoë Ærø 東京",
        "tab\there", "two\r\nlines", "%253A", "a%26b", "", "=&=" };
    std::vector<FormPair> pairs;
    for (const std::string& value : values)
        pairs.push_back({ "f" + std::to_string(pairs.size()), value });
    pairs.push_back({ "submit", "ok" });
    const std::string posted = EncodeFormPost(pairs);
    EXPECT_EQ(DecodeFormPost(posted), pairs) << posted;
    // Only the form's own separators are left bare.
    EXPECT_EQ(posted.substr(0, posted.find("&f2=")), "f0=plain&f1=a+%28b%29+c");
    EXPECT_EQ(EncodeFormPost({ { "t", "one\ntwo\rthree" } }), "t=one%0D%0Atwo%0D%0Athree");
}

TEST(FormPost, DecodesWhatBrowsersSendAndKeepsBrokenEscapes)
{
    struct Case {
        const char* posted;
        std::vector<FormPair> pairs;
        FormAction action;
    };
    const std::vector<Case> cases {
        { "cn=a%26b&submit=ok", { { "cn", "a&b" }, { "submit", "ok" } }, FormAction::Create },
        { "cn=%253A+%C3%AB&SUBMIT=Modify", { { "cn", "%3A \xC3\xAB" }, { "SUBMIT", "Modify" } }, FormAction::Modify },
        { "cn=50%&x=%zz%4&submit=cancel", { { "cn", "50%" }, { "x", "%zz%4" }, { "submit", "cancel" } },
            FormAction::Close },
        { "cn=a&bare&&submit=what", { { "cn", "a" }, { "bare", "" }, { "submit", "what" } }, FormAction::Close },
        { "cn=a&submitter=ok", { { "cn", "a" }, { "submitter", "ok" } }, FormAction::NoSubmit },
        { "", {}, FormAction::NoSubmit },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.posted);
        EXPECT_EQ(DecodeFormPost(c.posted), c.pairs);
        EXPECT_EQ(ActionOf(DecodeFormPost(c.posted)), c.action);
    }
}

TEST(XmlTemplate, ReadsElementsInAnyCaseAndWritesWhatItReads)
{
    XmlError error;
    auto read = ParseTemplate("<?xml version=\"1.0\"?><xmltemplate><OBJECTCLASS> person </OBJECTCLASS>"
                              "<objectClass>top</objectClass><FIELD><name> cn </name><Validation>Number</Validation>"
                              "<defaultvalue> two  blanks </defaultvalue></FIELD><Field><Name>sn</Name>"
                              "<ObjectClass>ignored</ObjectClass></Field></xmltemplate>",
        error);
    ASSERT_TRUE(read) << error.reason;
    EXPECT_EQ(read->objectClasses, (std::vector<std::string> { "person", "top" }));
    ASSERT_EQ(read->fields.size(), 2u);
    EXPECT_EQ(read->fields[0].name, "cn");
    EXPECT_EQ(read->fields[0].validation, "Number");
    EXPECT_EQ(read->fields[0].defaultValue, " two  blanks ");
    EXPECT_EQ(read->fields[1].name, "sn");

    // Names with XML's own characters survive a write and a read.
    const std::string text = TemplateText({ "a<b", "c&d" }, { "x\"y", "x\"y", "p>q" });
    EXPECT_EQ(text.substr(text.size() - 14), "</XmlTemplate>");
    auto back = ParseTemplate(text, error);
    ASSERT_TRUE(back) << error.reason;
    EXPECT_EQ(back->objectClasses, (std::vector<std::string> { "a<b", "c&d" }));
    ASSERT_EQ(back->fields.size(), 3u);
    EXPECT_EQ(back->fields[1].name, "x\"y");
    EXPECT_EQ(back->fields[2].displayName, "p>q");
    EXPECT_EQ(back->fields[2].input, "TextBox");
    EXPECT_TRUE(ParseTemplate(TemplateText({}, {}), error));
}

TEST(XmlTemplate, AParseFailureSaysWhereAndWhy)
{
    struct Case {
        const char* text;
        int line, position;
        const char* reason; // a part of it
    };
    const std::vector<Case> cases {
        { "<a>\n<b>\n</a>", 3, 5, "mismatch" },
        { "<a>\n  <b x=1/></a>", 2, 8, "AttValue" },
        { "", 1, 1, "Document is empty" },
        { "<a>&unknown;</a>", 1, 13, "not defined" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        XmlError error;
        EXPECT_FALSE(ParseTemplate(c.text, error));
        EXPECT_EQ(error.line, c.line);
        EXPECT_EQ(error.position, c.position);
        EXPECT_NE(error.reason.find(c.reason), std::string::npos) << error.reason;
    }
    XmlError error;
    EXPECT_FALSE(ReadTemplateFile("no-such-template.xml", error));
    EXPECT_EQ(error.line, 0);
    EXPECT_NE(error.reason.find("no-such-template.xml"), std::string::npos);
}
