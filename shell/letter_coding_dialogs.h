#pragma once
// The two letter coding dialogs: TUstawKodLiter (the program's choice, told to a Mavito) and
// TKodowaniePolskich (the printer command that switches its code page).

#include <QDialog>
#include <array>

class QPushButton;
class QRadioButton;

namespace ulvo {

class Link;

// The four radio buttons "MAZOVIA" ... "WINDOWS" under a prompt, and two buttons.
class LetterCodingDialogBase : public QDialog {
  Q_OBJECT
 public:
  QRadioButton* Coding(int index) const { return codings_[index]; }
  int CheckedCoding() const;
  QPushButton* Button1 = nullptr;  // apply / send
  QPushButton* Button2 = nullptr;  // cancel

 protected:
  LetterCodingDialogBase(Link& link, const char* applyCaption, const char* cancelCaption,
                         QWidget* parent);
  // Sets the coding at once, then tells the printer; false when the frame did not go out.
  bool SendCodePage(int coding);

  Link& link_;

 private:
  std::array<QRadioButton*, 4> codings_{};
};

class TUstawKodLiter : public LetterCodingDialogBase {
  Q_OBJECT
 public:
  explicit TUstawKodLiter(Link& link, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Apply();
};

class TKodowaniePolskich : public LetterCodingDialogBase {
  Q_OBJECT
 public:
  explicit TKodowaniePolskich(Link& link, QWidget* parent = nullptr);

 private:
  void Send();
};

}  // namespace ulvo
