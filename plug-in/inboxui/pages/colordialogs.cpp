#include "plug-in/inboxui/pages/colordialogs.h"

#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/pages/colorcontrols.h"
#include "plug-in/inboxui/resources/ids.h"

namespace corv::ui {
namespace {

class ColorCorrectionDialog : public DialogBase<ColorCorrectionDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        const ColorBlock& scratch = context()->colorScratch;
        rgb(IDC_RGB_IMAGE_LIST, scratch.dwRgbImage);
        rgb(IDC_RGB_TEXT_LIST, scratch.dwRgbText);
        rgb(IDC_RGB_GRAPHICS_LIST, scratch.dwRgbGraphics);
        FillChoiceList(item(IDC_CMYK_LIST), kCmykChoices);
        SetChoice(item(IDC_CMYK_LIST), kCmykChoices, scratch.dwCmykImage);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD, HWND) {
        if (id == IDOK) {
            ColorBlock& scratch = context()->colorScratch;
            scratch.dwRgbImage = ReadChoice(item(IDC_RGB_IMAGE_LIST));
            scratch.dwRgbText = ReadChoice(item(IDC_RGB_TEXT_LIST));
            scratch.dwRgbGraphics = ReadChoice(item(IDC_RGB_GRAPHICS_LIST));
            // One CMYK choice stands for images, text and graphics alike.
            scratch.dwCmykImage = scratch.dwCmykText = scratch.dwCmykGraphics = ReadChoice(item(IDC_CMYK_LIST));
        }
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(window(), id);
            return TRUE;
        }
        return FALSE;
    }

private:
    void rgb(int id, DWORD value) const {
        FillChoiceList(item(id), kRgbChoices);
        SetChoice(item(id), kRgbChoices, value);
    }
};

class ColorBalanceDialog : public DialogBase<ColorBalanceDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        const ColorBlock& scratch = context()->colorScratch;
        SetupTrackBar(item(IDC_BALANCE_CYAN), kBalanceRange, scratch.lBalanceCyan);
        SetupTrackBar(item(IDC_BALANCE_MAGENTA), kBalanceRange, scratch.lBalanceMagenta);
        SetupTrackBar(item(IDC_BALANCE_YELLOW), kBalanceRange, scratch.lBalanceYellow);
        SetupTrackBar(item(IDC_BALANCE_BLACK), kBalanceRange, scratch.lBalanceBlack);
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD, HWND) {
        if (id == IDOK) {
            ColorBlock& scratch = context()->colorScratch;
            scratch.lBalanceCyan = ReadTrackBar(item(IDC_BALANCE_CYAN), kBalanceRange);
            scratch.lBalanceMagenta = ReadTrackBar(item(IDC_BALANCE_MAGENTA), kBalanceRange);
            scratch.lBalanceYellow = ReadTrackBar(item(IDC_BALANCE_YELLOW), kBalanceRange);
            scratch.lBalanceBlack = ReadTrackBar(item(IDC_BALANCE_BLACK), kBalanceRange);
        }
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(window(), id);
            return TRUE;
        }
        return FALSE;
    }
};

class RgbQualityDialog : public DialogBase<RgbQualityDialog> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        const JobSettings& working = context()->working;
        SetupTrackBar(item(IDC_RGB_BRIGHTNESS), kBrightnessRange, working.lBrightness);
        SetupTrackBar(item(IDC_RGB_CONTRAST), kContrastRange, working.lContrast);
        SetupTrackBar(item(IDC_RGB_SATURATION), kSaturationRange, working.lSaturation);
        CheckDlgButton(window(), IDC_RGB_FINE_LINES, working.bFineLines ? BST_CHECKED : BST_UNCHECKED);
        // A monochrome job prints no saturation; its value is still shown and kept.
        const OEMUIPSPARAM* params = context()->pageParams;
        if (params && params->pPublicDM && params->pPublicDM->dmColor == DMCOLOR_MONOCHROME)
            enable(IDC_RGB_SATURATION, false);
        if (context()->noPermission) {
            DisableAllControls(window());
            // The dialog manager ignores WM_CLOSE while Cancel is off: the user must get out.
            enable(IDCANCEL, true);
        }
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD, HWND) {
        if (id == IDOK) {
            JobSettings& working = context()->working;
            working.lBrightness = ReadTrackBar(item(IDC_RGB_BRIGHTNESS), kBrightnessRange);
            working.lContrast = ReadTrackBar(item(IDC_RGB_CONTRAST), kContrastRange);
            working.lSaturation = ReadTrackBar(item(IDC_RGB_SATURATION), kSaturationRange);
            working.bFineLines = IsDlgButtonChecked(window(), IDC_RGB_FINE_LINES) == BST_CHECKED;
        }
        if (id == IDOK || id == IDCANCEL) {
            EndDialog(window(), id);
            return TRUE;
        }
        return FALSE;
    }
};

}  // namespace

INT_PTR CALLBACK ColorCorrectionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ColorCorrectionDialog::DialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK ColorBalanceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ColorBalanceDialog::DialogProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK RgbQualityDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RgbQualityDialog::DialogProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
