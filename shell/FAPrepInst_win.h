// The folder-choice page: the program folder and the projects folder, each changed with
// the system's folder picker, stored when the user goes on to the install page.
#pragma once
#include "ui/form_win.h"

class TFAPrepInst final : public Form {
public:
  TFAPrepInst();

  ClosePrevCallback ClosePrev;    // closes the welcome window
  SetPrevPosCallback SetPrevPos;  // moves the welcome window

protected:
  void FormCreate() override;
  void FormShow() override;
  void FormClose() override;
  void Click(int id) override;

private:
  void btnProgClick();
  void btnDossClick();
  void btnPrecClick();
  void btnSuivClick();
  void btnAnnulClick();

  void CloseForm();
  void SetFormPos(int left, int top);
  void OpenInstall();
};
