#pragma once
// Pictures of every kind the program lists (bitmaps, JPEG, PNG, GIF, TIFF)
// decoded through the Windows Imaging Component: upright as the camera
// meant them, scaled by WIC's own scaler so that a large picture is not held
// at full size when a smaller one is wanted, and refused before decoding
// when larger than the decode cap. The thread must have COM initialised.
#include <windows.h>

#include <optional>
#include <string>

#include "imaging/PictureRules.h"
#include "platform/Handles.h"

namespace pictavo {

// A decoded picture as a top-down 32-bit DIB section, or why there is none.
struct DecodedPicture {
    UniqueGdiObject bitmap;  // the HBITMAP; empty on failure
    PixelSize size;          // the bitmap's
    PixelSize upright;       // the picture's full size, upright; known once its header was read
    HRESULT result = E_FAIL;
    std::string reason;      // short text for the trace; empty on success

    bool Succeeded() const { return SUCCEEDED(result) && bitmap.Valid(); }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap.Get()); }
};

// What RenderBitmapFile wrote, or why it wrote nothing.
struct RenderedBitmap {
    PixelSize size;     // of the bitmap file
    PixelSize upright;  // the picture's full size, upright
    HRESULT result = E_FAIL;
    std::string reason;
    // Non-zero when the picture was read but the bitmap file could not be
    // written (a full volume, a read-only file): the system's error code.
    DWORD writeError = 0;

    bool Succeeded() const { return SUCCEEDED(result); }
};

// "0x88982F50 (...)": the code and what it means.
std::string DescribeHResult(HRESULT result);

// Whether a decode failed because the picture is too large for the memory
// left, or states a size larger than memory could hold.
bool ForWantOfMemory(HRESULT result);

class TPictureDecoder {
public:
    // Every decoder of the program shares one imaging factory, made at the
    // first decode and released with the last decoder: destroy decoders
    // before COM is uninitialised.
    TPictureDecoder();
    ~TPictureDecoder();
    TPictureDecoder(const TPictureDecoder&) = delete;
    TPictureDecoder& operator=(const TPictureDecoder&) = delete;

    // The picture (a GIF's first frame) upright, fitted within box (see
    // FitWithin: {0, 0} keeps its size, or the rule given), as 32-bit BGR.
    DecodedPicture Decode(const std::string& path, PixelSize box, FitRule fit = FitWithin);

    // The same picture, upright and fitted, written as a 24-bit bottom-up
    // bitmap file to target, atomically: a failure leaves target as it was.
    RenderedBitmap RenderBitmapFile(const std::string& path, PixelSize box,
                                    const std::string& target);

    // The upright full size, from the frame's header alone; nothing when the
    // picture cannot be read.
    std::optional<PixelSize> UprightSize(const std::string& path);

private:
    struct Source;
    // The work of Decode and RenderBitmapFile, which turn a failed allocation
    // into a failure like the others.
    void DecodeInto(DecodedPicture& picture, const std::string& path, PixelSize box, FitRule fit);
    void RenderInto(RenderedBitmap& rendered, const std::string& path, PixelSize box,
                    const std::string& target);
    HRESULT Open(const std::string& path, Source& source, std::string& reason);
    HRESULT Prepare(Source& source, PixelSize box, FitRule fit, const GUID& format,
                    std::string& reason);
    HRESULT CopyUpright(Source& source, unsigned bytesPerPixel, BYTE* buffer, UINT stride);
};

}  // namespace pictavo
