// Font aliases for the program's dialog faces, loaded into fontconfig in
// process: the system has no alias for these names, and without one both the
// glyphs and the metrics would come from a Latin fallback.
#include "toolkit.h"

#include <fontconfig/fontconfig.h>

namespace {

constexpr char kAliases[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="same"><family>ＭＳ Ｐゴシック</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>MS PGothic</family><prefer><family>IPAPGothic</family></prefer></alias>
  <alias binding="same"><family>ＭＳ ゴシック</family><prefer><family>IPAGothic</family></prefer></alias>
  <alias binding="same"><family>MS Gothic</family><prefer><family>IPAGothic</family></prefer></alias>
</fontconfig>
)";

} // namespace

bool zv::backend::LoadFontAliases() {
    static const bool loaded = [] {
        FcConfig* config = FcConfigGetCurrent();
        return config != nullptr &&
               FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kAliases),
                                              FcTrue) == FcTrue;
    }();
    return loaded;
}
