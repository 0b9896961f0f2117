// A page as the printer's device context drew it: recorded into an enhanced metafile whose
// device units are the printer's dots over the imageable area, and shown to a person as a PNG of
// the whole sheet at a low resolution.
#pragma once

#include "common/handles.h"
#include "host/standins/devcaps.h"

#include <windows.h>

#include <string>
#include <vector>

namespace corv::host {

namespace detail {
inline void DeleteMetafile(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
}  // namespace detail
using UniqueEnhMetaFile = Unique<HENHMETAFILE, detail::DeleteMetafile>;

// The picture frame, in hundredths of a millimetre, that spans width x height device units of a
// reference device with the given pixels and millimetres: playing the metafile into a rectangle
// then maps those device units onto it.
RECT RecordingFrame(int width, int height, int refPixelsX, int refPixelsY, int refMillimetresX,
                    int refMillimetresY);

// The sheet at `dpi`, and where its imageable area lies on it.
struct PreviewLayout {
    int width = 0, height = 0;
    RECT area{};
};
PreviewLayout LayoutPreview(const PrinterCaps& caps, int dpi);

// One page's recording device context, ended into its metafile by Finish.
class PageRecording {
public:
    explicit PageRecording(const PrinterCaps& caps);
    PageRecording(const PageRecording&) = delete;
    PageRecording& operator=(const PageRecording&) = delete;
    ~PageRecording();

    HDC dc() const { return dc_; }
    UniqueEnhMetaFile Finish();

private:
    HDC dc_ = nullptr;
};

// The text of every text record, in drawing order.
std::vector<std::wstring> MetafileTexts(HENHMETAFILE emf);

bool SaveMetafile(HENHMETAFILE emf, const std::wstring& path);

// Plays the page onto a white sheet at `dpi` and writes it as a PNG.
bool SavePreview(HENHMETAFILE emf, const PrinterCaps& caps, int dpi, const std::wstring& path, std::string* error);

}  // namespace corv::host
