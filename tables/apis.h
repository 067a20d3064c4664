// The apis a header can be named for, one row each: everything that tells GL from WGL reads the
// row rather than naming either, and every list of the run is kept once per row.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

// Which lists a header fills: the api its "-gl" or "-wgl" flag names, the index of its row.
enum class Api : unsigned char { gl, wgl };

struct ApiRow {
    Api api;
    const char* flag;              // on the command line, compared in any case: "-gl"
    const char* label;             // in the help: "scan FILE into the GL lists"
    std::string_view namePrefix;   // of the extension names a define may give: "GL_"
    std::string_view entryPrefix;  // of its entry points' names, as the headers write them: "gl"
    // Whether a header that adds extensions but no entry point is worth a warning: today's
    // wglext.h writes its prototypes in a form only --all-prototypes reads.
    bool warnWithoutEntryPoints;
};

// In the order of Api; the argument walk tests the flags in this order too.
inline constexpr ApiRow kApis[] = {
    {Api::gl, "-gl", "GL", "GL_", "gl", false},
    {Api::wgl, "-wgl", "WGL", "WGL_", "wgl", true},
};

constexpr std::size_t indexOf(Api api) {
    return static_cast<std::size_t>(api);
}

constexpr bool apisInOrder() {
    for (std::size_t i = 0; i < std::size(kApis); ++i) {
        if (indexOf(kApis[i].api) != i) {
            return false;
        }
    }
    return true;
}
static_assert(apisInOrder(), "kApis is in the order of Api");

inline const ApiRow& apiRow(Api api) {
    return kApis[indexOf(api)];
}

// One T per row of kApis, reached by its api; iterated in the rows' order.
template <class T>
struct PerApi {
    // Default-initialised: with "= {}" GCC 12 takes the construction, which allocates, for
    // noexcept, and running out of memory there would end the process.
    std::array<T, std::size(kApis)> rows;

    T& operator[](Api api) { return rows[indexOf(api)]; }
    const T& operator[](Api api) const { return rows[indexOf(api)]; }
    auto begin() const { return rows.begin(); }
    auto end() const { return rows.end(); }
};

// The flags in order, "-gl, -wgl" or "-gl or -wgl": `last` joins the last two.
inline std::string listOfFlags(const char* last) {
    std::string flags;
    for (std::size_t i = 0; i < std::size(kApis); ++i) {
        flags += i == 0 ? "" : i + 1 < std::size(kApis) ? ", " : last;
        flags += kApis[i].flag;
    }
    return flags;
}
