// The argument walk: which arguments become header files of which kind.
#include "cli/argument_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// An argument vector, program name first, held so that a test can see the walk changes none of it.
struct Arguments {
    Strings strings;
    std::vector<char*> argv;

    explicit Arguments(Strings args) : strings(std::move(args)) {
        strings.insert(strings.begin(), "linkweld");
        for (std::string& s : strings) {
            argv.push_back(s.data());
        }
        argv.push_back(nullptr);
    }
    std::string at(std::size_t i) const { return argv[i]; }
};

// Each header found, as "gl:path" or "wgl:path"; a missing name shows as "(none)".
Strings walk(Arguments& arguments) {
    Strings found;
    for (const HeaderArgument& header :
         walkArguments(static_cast<int>(arguments.strings.size()), arguments.argv.data()).headers) {
        found.push_back(std::string(header.api == Api::wgl ? "wgl:" : "gl:") +
                        (header.path ? header.path : "(none)"));
    }
    return found;
}

Strings walk(Strings args) {
    Arguments arguments(std::move(args));
    return walk(arguments);
}

TEST(ArgumentWalk, FlagsInAnyCaseFileNamesAsTyped) {
    Arguments arguments({"-GL", "GLEXT.H", "-WgL", "My/WglExt.h", "STRAY"});
    EXPECT_EQ(walk(arguments), (Strings{"gl:GLEXT.H", "wgl:My/WglExt.h"}));
    EXPECT_EQ(arguments.at(1), "-GL") << "the walk changes no argument";
    EXPECT_EQ(arguments.at(5), "STRAY");
}

TEST(ArgumentWalk, RepeatedFlagsKeepCommandLineOrder) {
    EXPECT_EQ(walk({"-gl", "a.h", "-wgl", "b.h", "-gl", "a.h", "-wgl", "c.h", "-gl", "d.h"}),
              (Strings{"gl:a.h", "wgl:b.h", "gl:a.h", "wgl:c.h", "gl:d.h"}));
}

TEST(ArgumentWalk, UnknownArgumentsArePassedOver) {
    EXPECT_EQ(walk({"lonely.h"}), Strings{});
    EXPECT_EQ(walk({"-x", "--gl", "-gla", "gl", "-gl", "a.h", "b.h"}), (Strings{"gl:a.h"}));
}

TEST(ArgumentWalk, WglDirectlyAfterGlIsBothAFileNameAndAFlag) {
    EXPECT_EQ(walk({"-gl", "-wgl", "w.h"}), (Strings{"gl:-wgl", "wgl:w.h"}));
    // In that position the argument is seen as typed, so only lower case counts.
    Arguments upper({"-gl", "-WGL", "W.H"});
    EXPECT_EQ(walk(upper), (Strings{"gl:-WGL"}));
    EXPECT_EQ(walkArguments(4, upper.argv.data()).ignored, Strings{"W.H"})
        << "the next pass starts at the would-be file name";
}

TEST(ArgumentWalk, AFlagAfterAFlagIsTakenAsItsFileName) {
    EXPECT_EQ(walk({"-gl", "-gl", "x.h"}), (Strings{"gl:-gl"}));
    EXPECT_EQ(walk({"-wgl", "-gl", "x.h"}), (Strings{"wgl:-gl"}));
    EXPECT_EQ(walk({"-wgl", "-wgl", "x.h"}), (Strings{"wgl:-wgl"}));
    EXPECT_EQ(walk({"-wgl", "-gl", "-gl", "x.h"}), (Strings{"wgl:-gl", "gl:x.h"}));
}

TEST(ArgumentWalk, AFlagAtTheEndHasNoFileName) {
    EXPECT_EQ(walk({"-gl"}), (Strings{"gl:(none)"}));
    EXPECT_EQ(walk({"-WGL"}), (Strings{"wgl:(none)"}));
    EXPECT_EQ(walk({"-gl", "a.h", "-wgl"}), (Strings{"gl:a.h", "wgl:(none)"}));
    EXPECT_EQ(walk({"-gl", "-wgl"}), (Strings{"gl:-wgl", "wgl:(none)"}));
}

// Options of the whole run in any case, each with its value if it takes one: the argument after
// it as typed, whatever it is, or none at the end.
TEST(ArgumentWalk, OptionsAndTheirValues) {
    constexpr OptionRow kValue{"--value", true};
    Arguments arguments({"--CHECK", "--Value", "My File.h", "-gl", "a.h", "--value", "--check",
                         "--value", "-gl", "--value"});
    const ArgumentWalk found = walkArguments(static_cast<int>(arguments.strings.size()),
                                             arguments.argv.data(), {&kValue, &kCheck});
    EXPECT_EQ(found.headers.size(), 1u);
    EXPECT_TRUE(found.given(kCheck));
    EXPECT_FALSE(found.given(kStrict));
    const std::vector<const char*> values = found.valuesOf(kValue);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(Strings(values.begin(), values.end() - 1), (Strings{"My File.h", "--check", "-gl"}));
    EXPECT_EQ(values[3], nullptr);
}

}  // namespace
