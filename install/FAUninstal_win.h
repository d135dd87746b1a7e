// The uninstall page: what to remove, ticked by the user, then the run.
#pragma once
#include "ui/form_win.h"

class TFAUninstal final : public Form {
public:
  TFAUninstal();

  SetPrevPosCallback SetPrevPos;  // moves the welcome window

protected:
  void FormCreate() override;
  void FormClose() override;
  void Click(int id) override;
  void Timer(int id) override;

private:
  void btnPrecClick();
  void btnUninstClick();
  void btnAnnulClick();
  void tmrExecTimer();

  bool uninst = false;  // from "Désinstaller >" on
};
