#include "desktop/WallpaperRenderer.h"

namespace pictavo {
namespace {

class DecoderRenderer final : public IWallpaperRenderer {
public:
    PixelSize ScreenSize() override {
        return PixelSize{static_cast<std::uint32_t>(::GetSystemMetrics(SM_CXSCREEN)),
                         static_cast<std::uint32_t>(::GetSystemMetrics(SM_CYSCREEN))};
    }

    RenderedBitmap RenderBitmapFile(const std::string& source, PixelSize box,
                                    const std::string& target) override {
        // A decoder of its own for each rendering: this renderer outlives the
        // program's COM apartment, which the decoders' shared factory must not.
        TPictureDecoder decoder;
        return decoder.RenderBitmapFile(source, box, target);
    }
};

}  // namespace

IWallpaperRenderer& SystemRenderer() {
    static DecoderRenderer renderer;
    return renderer;
}

}  // namespace pictavo
