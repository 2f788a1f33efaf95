#include "desktop/WallpaperRenderer.h"

namespace pictavo {
namespace {

class DecoderRenderer final : public IWallpaperRenderer {
public:
    PictureExtent ScreenSize() override {
        return PictureExtent{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }

    HRESULT RenderBitmapFile(const std::string&, PictureExtent, const std::string&) override {
        return E_NOTIMPL;
    }
};

}  // namespace

IWallpaperRenderer& SystemRenderer() {
    static DecoderRenderer renderer;
    return renderer;
}

}  // namespace pictavo
