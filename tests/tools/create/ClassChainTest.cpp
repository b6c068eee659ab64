// The class chain walk over hand-made schemas, including the ones a real
// server would refuse: a SUP loop, a class naming several superiors, and
// names of any length.
#include "tools/create/ClassChain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

struct Case {
    const char* what;
    Strings definitions;
    std::string className;
    Strings mandatory;
    std::string optional; // FirstOptionalName of the class itself
};

TEST(ClassChain, CollectsTheMandatoryNamesUpTheChain)
{
    const std::string longName(5000, 'x');
    const std::vector<Case> cases {
        { "a SUP loop ends at the class met again",
            { "( 1.1 NAME 'a' SUP b MUST ( cn $ objectClass ) )", "( 1.2 NAME 'b' SUP a MUST sn )" }, "a",
            { "cn", "sn" }, "" },
        { "a class that is its own superior", { "( 1.1 NAME 'self' SUP self MUST ou )" }, "self", { "ou" }, "" },
        { "several superiors: only the last is followed",
            { "( 1.1 NAME 'o1' MUST o )", "( 1.2 NAME 'u1' MUST ou )",
                "( 1.3 NAME 'both' SUP ( o1 $ u1 ) MAY l )" },
            "both", { "ou" }, "l" },
        { "each name once (the first met), ignoring case, sorted as a list box sorts",
            { "( 1.1 NAME 'top' MUST objectClass )", "( 1.2 NAME 'p' SUP top MUST ( sn $ CN ) )",
                "( 1.3 NAME 'q' SUP p MUST ( cn $ Description ) )" },
            "q", { "cn", "Description", "sn" }, "" },
        { "an unknown superior ends the walk", { "( 1.1 NAME 'lone' SUP missing MUST uid )" }, "lone", { "uid" },
            "" },
        { "only objectClass: the first optional name that is not aci",
            { "( 1.1 NAME 'opt' MUST objectClass MAY ( aci $ ACI $ description $ l ) )" }, "opt", {},
            "description" },
        { "only aci", { "( 1.1 NAME 'acionly' MAY aci )" }, "acionly", {}, "" },
        { "a name of any length is kept whole", { "( 1.1 NAME 'long' MUST " + longName + " )" }, "long",
            { longName }, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectClassList classes;
        for (const std::string& definition : c.definitions)
            classes.add(definition);
        EXPECT_EQ(CollectMandatoryNames(classes, c.className), c.mandatory);
        ASSERT_NE(classes.find(c.className), nullptr);
        EXPECT_EQ(FirstOptionalName(*classes.find(c.className)), c.optional);
    }
}

TEST(ClassChain, AWorkListOfAnyLengthIsKeptWhole)
{
    // A chain of 60 classes, each adding one name: far beyond any fixed list.
    ObjectClassList classes;
    Strings expected;
    for (int i = 0; i < 60; ++i) {
        std::string name = "attr" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        std::string superior = i ? " SUP c" + std::to_string(i - 1) : "";
        classes.add("( 1." + std::to_string(i) + " NAME 'c" + std::to_string(i) + "'" + superior + " MUST " + name
            + " )");
        expected.push_back(name);
    }
    EXPECT_EQ(CollectMandatoryNames(classes, "c59"), expected);
}

} // namespace
