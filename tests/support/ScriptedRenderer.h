#pragma once
// The rendering of wallpapers, scripted: every request is logged, the named
// sources fail with the given result, and nothing is written.
#include <set>
#include <string>
#include <vector>

#include "desktop/WallpaperRenderer.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace pictavo::testing {

class ScriptedRenderer final : public IWallpaperRenderer {
public:
    PixelSize screen{1024, 768};
    std::set<std::string> failing;  // sources, lower case
    HRESULT failure = static_cast<HRESULT>(0x88982F50);  // WINCODEC_ERR_COMPONENTNOTFOUND
    DWORD writeError = 0;  // non-zero: the failing sources were read, their bitmap not written
    PixelSize upright;     // the failing sources' size, when known
    // Whether a rendering that succeeds writes its target (its source's name, swapped in whole).
    bool writeTarget = false;
    struct Call {
        std::string source;
        PixelSize fitWithin;
        std::string target;
    };
    std::vector<Call> calls;

    PixelSize ScreenSize() override { return screen; }
    RenderedBitmap RenderBitmapFile(const std::string& source, PixelSize fitWithin,
                                    const std::string& target) override {
        calls.push_back({source, fitWithin, target});
        RenderedBitmap rendered;
        rendered.result = failing.count(LowerCase(source)) ? failure : S_OK;
        if (FAILED(rendered.result)) {
            rendered.reason = "scripted failure";
            rendered.writeError = writeError;
            rendered.upright = upright;
        } else if (writeTarget) {
            WriteFileAtomically(target, "rendered from " + source);
        }
        return rendered;
    }
};

}  // namespace pictavo::testing
