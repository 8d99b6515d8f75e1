// Picture loading: loose files (when "CGFileMode" is on) before the archives,
// decoded by the platform's one picture decoder straight into the film's
// own image and alpha map.
#include "common/text.h"
#include "drivers/lumo_driver.h"
#include "drivers/lumo_surface_adapter.h"
#include "drivers/media_files.h"
#include "drivers/quor_driver.h"
#include "lumo.h"
#include "platform/picture.h"

namespace zelk {

namespace {

LumoSurface* FilmSurface(int32_t film, int32_t property) {
    LumoSurface* surface = nullptr;
    if (GetFilmProp(film, property, &surface) != 0) return nullptr;
    return surface;
}

}  // namespace

std::string clsLumoDriver::FindLoose(const std::string& name,
                                     const std::vector<std::string>& exts) const {
    if (!mHooks.CGFileMode || name.empty() || mHooks.ImageDir.empty()) return {};
    // Game data names pictures without regard to case; a name that leaves
    // the image folder is refused there.
    return FindLooseFile(mHooks.ImageDir, name, exts).value_or(std::string());
}

bool clsLumoDriver::FitOrReadSize(int32_t film, int32_t& width, int32_t& height, bool bFitSize) {
    if (bFitSize) {
        // Resizing reallocates and clears the image; a film without alpha map
        // that already has the size is overwritten whole by the picture.
        int32_t size[2] = {0, 0};
        LumoSurface* alpha = nullptr;
        if (GetFilmProp(film, FP_IMAGE_SIZE, size) == 0 && size[0] == width && size[1] == height &&
            GetFilmProp(film, FP_ALPHA_OBJECT, &alpha) != 0) {
            Set2(film, FP_SIZE, width, height);
            ExeQueue();
            return true;
        }
        Set2(film, FP_IMAGE_SIZE, width, height);
        Set2(film, FP_SIZE, width, height);
        ExeQueue();
        return true;
    }
    int32_t size[2] = {0, 0};
    if (GetFilmProp(film, FP_IMAGE_SIZE, size) != 0) return false;
    width = size[0];
    height = size[1];
    return true;
}

bool clsLumoDriver::DrawPicture(int32_t film, const Picture& picture, bool bFitSize) {
    int32_t width = picture.Width();
    int32_t height = picture.Height();
    if (!FitOrReadSize(film, width, height, bFitSize)) return false;
    const PixelTarget image = ToPixelTarget(FilmSurface(film, FP_IMAGE_DC));
    if (image.pixels) picture.DrawColor(image, 0, 0);
    return true;
}

bool clsLumoDriver::LoadBmp(int32_t FilmID, const std::string& sPic, const std::string& sAlpha,
                            bool bFitSize) {
    ExeQueue();
    if (!sPic.empty()) {
        const std::string loose = FindLoose(sPic, PictureFileKinds());
        if (!loose.empty()) {
            std::string error;
            const std::optional<Picture> picture = Picture::Load(loose, error);
            if (!picture || picture->Width() > kMaxPictureSide ||
                picture->Height() > kMaxPictureSide) {
                Log("lumo loadpicture error '" + sPic + "' " + error);
                return false;
            }
            if (!DrawPicture(FilmID, *picture, bFitSize)) return false;
            Log("lumo loadpicture '" + sPic + "' from bmp file");
        } else {
            const std::int32_t id = mHooks.Quor ? mHooks.Quor->FileKeyToID(sPic) : -1;
            if (id < 0) {
                Log("lumo loadpicture not found '" + sPic + "'");
                return false;
            }
            int32_t pw = 0, ph = 0;
            if (!mHooks.Quor->GetGraphicSize(id, pw, ph) || pw <= 0 || ph <= 0 ||
                pw > kMaxPictureSide || ph > kMaxPictureSide) {
                Log("lumo loadpicture error '" + sPic + "' from archive");
                return false;
            }
            int32_t width = pw, height = ph;
            if (!FitOrReadSize(FilmID, width, height, bFitSize)) return false;
            const PixelTarget image = ToPixelTarget(FilmSurface(FilmID, FP_IMAGE_OBJECT));
            if (!image.pixels) return false;
            if (pw == width && ph == height) {
                if (!mHooks.Quor->LoadGraphic_Direct(id, image)) return false;
                Log("lumo loadpicture fast '" + sPic + "' from archive");
            } else {
                if (!mHooks.Quor->LoadGraphic(id, image, 0, 0)) return false;
                Log("lumo loadpicture slow '" + sPic + "' from archive");
            }
        }
    }
    if (!sAlpha.empty()) {
        const PixelTarget alpha = ToPixelTarget(FilmSurface(FilmID, FP_ALPHA_OBJECT));
        const std::string loose = FindLoose(sAlpha, PictureFileKinds());
        const std::int32_t id =
            loose.empty() && mHooks.Quor ? mHooks.Quor->FileKeyToID(sAlpha) : -1;
        if (!loose.empty()) {
            std::string error;
            const std::optional<Picture> mask = Picture::Load(loose, error);
            if (mask && alpha.pixels) mask->DrawMask(alpha, 0, 0);
            Log("lumo loadmask '" + sAlpha + "' from bmp file");
        } else if (id >= 0) {
            if (alpha.pixels && !mHooks.Quor->LoadMask(id, alpha, 0, 0)) return false;
            Log("lumo loadmask slow '" + sAlpha + "' from archive");
        } else {
            Method(FilmID, FM_FILL_ALPHA, 255);
            Log("lumo pat alphachannel '" + sAlpha + "'");
        }
    }
    CallFilmMethod(FilmID, FM_INVALIDATE, nullptr);
    ExeQueue();
    return true;
}

bool clsLumoDriver::LoadPng(int32_t FilmID, const std::string& sPNGFile, bool bAlpha,
                            bool bFitSize) {
    ExeQueue();
    if (!sPNGFile.empty()) {
        const std::string loose = FindLoose(sPNGFile, {".png", ".webp"});
        if (loose.empty())
            return LoadBmp(FilmID, sPNGFile, bAlpha ? sPNGFile + "-m" : "", bFitSize);
        std::string error;
        const std::optional<Picture> picture = Picture::Load(loose, error);
        if (!picture || picture->Width() > kMaxPictureSide || picture->Height() > kMaxPictureSide) {
            Log("lumo loadpicture error '" + sPNGFile + "' " + error);
            return false;
        }
        if (!DrawPicture(FilmID, *picture, bFitSize)) return false;
        Log("lumo loadpicture '" + sPNGFile + "' from png file");
        if (bAlpha) {
            if (picture->HasAlpha()) {
                const PixelTarget alpha = ToPixelTarget(FilmSurface(FilmID, FP_ALPHA_OBJECT));
                if (alpha.pixels) picture->DrawMask(alpha, 0, 0);
                Log("lumo loadmask '" + sPNGFile + "' from png file");
            } else {
                Method(FilmID, FM_FILL_ALPHA, 255);
                Log("lumo pat alphachannel '" + sPNGFile + "'");
            }
        }
    }
    CallFilmMethod(FilmID, FM_INVALIDATE, nullptr);
    ExeQueue();
    return true;
}

bool clsLumoDriver::LoadBuffMask(const std::string& sMask) {
    ExeQueue();
    const PixelTarget mask = ToPixelTarget(FilmSurface(mFIDBuff, FP_MASK_OBJECT));
    if (!mask.pixels) return false;
    const std::string loose = FindLoose(sMask, {".png", ".bmp", ".jpg", ".webp"});
    if (!loose.empty()) {
        std::string error;
        const std::optional<Picture> picture = Picture::Load(loose, error);
        if (!picture) {
            Log("lumo loadmask error '" + sMask + "' " + error);
            return false;
        }
        picture->DrawMask(mask, 0, 0);
        Log("lumo loadmask '" + sMask + "' from file");
        return true;
    }
    const std::int32_t id = mHooks.Quor ? mHooks.Quor->FileKeyToID(sMask) : -1;
    if (id < 0) return false;
    if (!mHooks.Quor->LoadMask(id, mask, 0, 0)) return false;
    Log("lumo loadmask slow '" + sMask + "' from archive");
    return true;
}

bool clsLumoDriver::LoadByFullPath(int32_t FilmID, const std::string& sPath) {
    std::string error;
    const std::optional<Picture> picture = Picture::Load(sPath, error);
    if (!picture) {
        Log("lumo loadpicture error '" + sPath + "' " + error);
        return false;
    }
    const PixelTarget image = ToPixelTarget(FilmSurface(FilmID, FP_IMAGE_DC));
    if (!image.pixels || !picture->DrawColor(image, 0, 0)) return false;
    CallFilmMethod(FilmID, FM_INVALIDATE, nullptr);
    ExeQueue();
    return true;
}

void clsLumoDriver::ClearPicture(int32_t FilmID) {
    Set2(FilmID, FP_SRC_POS, 0, 0);
    Set2(FilmID, FP_IMAGE_SIZE, 0, 0);
    Set2(FilmID, FP_SIZE, 0, 0);
    ExeQueue();
}

void clsLumoDriver::LoadLogicalPic(int32_t FilmID, long lFlag, long lColor) {
    ExeQueue();
    if (lFlag == 0) {
        Method(FilmID, FM_FILL, static_cast<int32_t>(lColor));
        CallFilmMethod(FilmID, FM_INVALIDATE, nullptr);
        ExeQueue();
    }
    CallFilmMethod(FilmID, FM_INVALIDATE, nullptr);
}

}  // namespace zelk
