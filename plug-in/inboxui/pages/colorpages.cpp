#include "plug-in/inboxui/pages/colorpages.h"

#include "plug-in/inboxui/core/dialogbase.h"
#include "plug-in/inboxui/core/dialogtools.h"
#include "plug-in/inboxui/core/module.h"
#include "plug-in/inboxui/pages/colorcontrols.h"
#include "plug-in/inboxui/pages/colordialogs.h"
#include "plug-in/inboxui/resources/ids.h"

#include <commctrl.h>

namespace corv::ui {
namespace {

class ManualColorPage : public DialogBase<ManualColorPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        FillChoiceList(item(IDC_CORRECTION_LIST), kCorrectionChoices);
        FillChoiceList(item(IDC_TONER_LIST), kTonerChoices);
        FillChoiceList(item(IDC_BALANCE_LIST), kBalanceChoices);
        load();
        return TRUE;
    }

    INT_PTR onCommand(WORD id, WORD code, HWND) {
        switch (id) {
            case IDC_CORRECTION_LIST:
            case IDC_BALANCE_LIST:
            case IDC_TONER_LIST:
                if (code != CBN_SELCHANGE) return FALSE;
                enableConfigureButtons();
                changed();
                return TRUE;
        }
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
            case IDC_CONFIGURE_CORRECTION:
                return run(IDD_COLOR_CORRECTION, &ColorCorrectionDialogProc);
            case IDC_CONFIGURE_BALANCE:
                return run(IDD_COLOR_BALANCE, &ColorBalanceDialogProc);
            case IDC_CONFIGURE_QUALITY:
                return run(IDD_RGB_QUALITY, &RgbQualityDialogProc);
            default:
                changed();
                return TRUE;
        }
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            case PSN_SETACTIVE:
                load();
                SetContextHelpButton(sheet(), false);
                return answer(0);
            case PSN_KILLACTIVE:
                StoreColorChoices(choices(), context()->colorScratch, &context()->working);
                return answer(FALSE);
            case PSN_APPLY:
                if (JobSettings* record = driverRecord()) {
                    StoreColorChoices(choices(), context()->colorScratch, record);
                    CopyRgbQuality(context()->working, record);
                }
                context()->applied = 1;
                return answer(PSNRET_NOERROR);
            default:
                return FALSE;
        }
    }

private:
    // Also drops what a dialog confirmed but the page did not store: the scratch block starts
    // again from the working copy.
    void load() const {
        const JobSettings& working = context()->working;
        context()->colorScratch = ShownColorBlock(working);
        SetChoice(item(IDC_CORRECTION_LIST), kCorrectionChoices, working.dwColorCorrection);
        SetChoice(item(IDC_TONER_LIST), kTonerChoices, working.dwPallidor);
        SetChoice(item(IDC_BALANCE_LIST), kBalanceChoices, working.bColorBalance);
        enableConfigureButtons();
        disableAllIfNoPermission();
    }

    void enableConfigureButtons() const {
        enable(IDC_CONFIGURE_CORRECTION, ReadChoice(item(IDC_CORRECTION_LIST)) == kCorrectionManual);
        enable(IDC_CONFIGURE_BALANCE, ReadChoice(item(IDC_BALANCE_LIST)) == kBalanceManual);
    }

    ColorChoices choices() const {
        return {ReadChoice(item(IDC_CORRECTION_LIST)), ReadChoice(item(IDC_BALANCE_LIST)),
                ReadChoice(item(IDC_TONER_LIST))};
    }

    INT_PTR run(UINT templateId, DLGPROC procedure) const {
        INT_PTR result = RunDialog(window(), templateId, procedure, context());
        if (result == IDOK) changed();
        return TRUE;
    }
};

class MonoQualityPage : public DialogBase<MonoQualityPage> {
public:
    using DialogBase::DialogBase;

    INT_PTR onInit() {
        load();
        return TRUE;
    }

    INT_PTR onCommand(WORD, WORD code, HWND) {
        if (code != BN_CLICKED) return FALSE;
        enableTrackBars();
        changed();
        return TRUE;
    }

    INT_PTR onMessage(UINT message, WPARAM, LPARAM) {
        if (message != WM_HSCROLL) return FALSE;
        changed();
        return TRUE;
    }

    INT_PTR onNotify(NMHDR* header) {
        switch (header->code) {
            case PSN_SETACTIVE:
                load();
                return answer(0);
            case PSN_KILLACTIVE:
                StoreMonoQuality(quality(), &context()->working);
                return answer(FALSE);
            case PSN_APPLY:
                StoreMonoQuality(quality(), driverRecord());
                context()->applied = 1;
                return answer(PSNRET_NOERROR);
            default:
                return FALSE;
        }
    }

private:
    void load() const {
        const JobSettings& working = context()->working;
        SetupTrackBar(item(IDC_MONO_BRIGHTNESS), kBrightnessRange, working.lBrightness);
        SetupTrackBar(item(IDC_MONO_CONTRAST), kContrastRange, working.lContrast);
        CheckDlgButton(window(), IDC_MONO_GRAY_CORRECTION, working.bGrayCorrection ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(window(), IDC_MONO_FINE_LINES, working.bFineLines ? BST_CHECKED : BST_UNCHECKED);
        enableTrackBars();
        disableAllIfNoPermission();
    }

    // Without gray correction the two bars are off, but their positions are still stored.
    void enableTrackBars() const {
        bool on = IsDlgButtonChecked(window(), IDC_MONO_GRAY_CORRECTION) == BST_CHECKED;
        enable(IDC_MONO_BRIGHTNESS, on);
        enable(IDC_MONO_CONTRAST, on);
    }

    MonoQuality quality() const {
        return {ReadTrackBar(item(IDC_MONO_BRIGHTNESS), kBrightnessRange),
                ReadTrackBar(item(IDC_MONO_CONTRAST), kContrastRange),
                IsDlgButtonChecked(window(), IDC_MONO_GRAY_CORRECTION) == BST_CHECKED,
                IsDlgButtonChecked(window(), IDC_MONO_FINE_LINES) == BST_CHECKED};
    }
};

}  // namespace

INT_PTR CALLBACK ManualColorPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return ManualColorPage::PageProc(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK MonoQualityPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return MonoQualityPage::PageProc(dialog, message, wParam, lParam);
}

}  // namespace corv::ui
