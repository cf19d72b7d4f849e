#pragma once

// The Windows build under wine64 on a private Xvfb display, in a prefix of its own: a copy of
// the template prefix the test fixture made once (hard links for the unchanging system files,
// real copies of the registry that Wine rewrites).

#include <filesystem>
#include <string>

#include "../e2e/x_session.h"

namespace wine_test {

inline constexpr const char* kWine = "/usr/lib/wine/wine64";
inline constexpr const char* kWineServer = "/usr/lib/wine/wineserver";

class WinePrefix {
  public:
    ~WinePrefix() {
        if (!path_.empty()) {
            e2e::Output("WINEPREFIX='" + path_ + "' " + kWineServer + " -k 2>/dev/null");
            std::error_code ignored;
            std::filesystem::remove_all(path_, ignored);
        }
    }

    bool CopyFrom(const std::string& templatePath, const std::string& path) {
        path_ = path;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        const std::string copy = "cp -al '" + templatePath + "' '" + path_ + "' && for r in '" +
                                 templatePath + "'/*.reg; do cp --remove-destination \"$r\" '" +
                                 path_ + "'/; done && echo ok";
        return e2e::Output(copy).find("ok") != std::string::npos;
    }

    // The environment a Wine command runs in: this prefix, quiet, no .NET or HTML engines.
    std::string Environment(const std::string& display) const {
        return "env DISPLAY=" + display + " WINEPREFIX='" + path_ +
               "' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' ";
    }

  private:
    std::string path_;
};

}  // namespace wine_test
