// The install page: the operations to perform, ticked by the user, then the run.
#pragma once
#include "ui/form_win.h"

class TFAInstall final : public Form {
public:
  TFAInstall();

  ClosePrevCallback ClosePrev;    // closes the folder-choice page
  SetPrevPosCallback SetPrevPos;  // moves the folder-choice page

protected:
  void FormCreate() override;
  void FormClose() override;
  void Click(int id) override;
  void Change(int id) override;
  void Timer(int id) override;

private:
  void cbInstProgChange();
  void btnPrecClick();
  void btnInstallClick();
  void btnAnnulClick();
  void tmrExecTimer();

  bool inst = false;  // from "Installer >" on: "Annuler" no longer asks
};
