#pragma once
// TfrmHelp: the finish page. It shows a few tips, names the product programs still running and
// the files not replaced, and the steps of the installation that could not be carried out; Finish
// creates the Start-menu folder with its entries, offers to start the filter program at once and
// ends the installer.
#include "app/setup_forms.hpp"
#include "framework/forms/button.hpp"
#include "framework/forms/form.hpp"
#include "framework/forms/label.hpp"
#include "framework/forms/rich_edit.hpp"

namespace app {

inline constexpr std::string_view kFinishCaption = "Installation Complete";
inline constexpr std::string_view kStartNowQuestion = "Start Korvane Now?";
inline constexpr std::string_view kProgramsAndFilesToSeeTo =
    "\r\n\nSome of the product's programs or files need your attention:";
inline constexpr std::string_view kAccessChanges =
    "\r\n\nAccess lists changed for the group Everyone (before -> after):";
inline constexpr std::string_view kStepsNotCarriedOut =
    "\r\n\nThis version of Setup cannot do everything yet. Not carried out:";

class TfrmHelp : public forms::TForm {
 public:
  explicit TfrmHelp(SetupForms& forms);

  forms::TRichEdit FinishText{*this, "FinishText"};
  forms::TBitBtn image1{*this, "image1"};
  forms::TLabel Label1{*this, "Label1"};
  forms::TBitBtn bitbtnFinish{*this, "bitbtnFinish"};

  void FormCreate();
  void FormShow();
  void bitbtnFinishClick();

 private:
  void ShowFinishText();

  SetupForms& forms_;
};

}  // namespace app
