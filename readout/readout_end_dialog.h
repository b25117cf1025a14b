#pragma once
// The end of a good readout: view, save, print the report (writing it to a disc comes with
// the disc recorder). Closing deletes the temporary report file.

#include <QDialog>
#include <QString>

class QPrinter;
class QPushButton;

namespace ulvo {

struct AppContext;

class TNagrywanieCD_DVD;

class TZakonczonoOdczytywanie : public QDialog {
  Q_OBJECT
 public:
  TZakonczonoOdczytywanie(AppContext& context, const QString& tempPath, const QString& title,
                          const QString& fileName, QWidget* parent);
  ~TZakonczonoOdczytywanie() override;

  QPushButton* Button1 = nullptr;  // "&Wyświetl"
  QPushButton* Button2 = nullptr;  // "Nagraj na &dysku"
  QPushButton* Button3 = nullptr;  // "&Nagraj na płytę CD/DVD"
  QPushButton* Button4 = nullptr;  // "&Drukuj"
  QPushButton* Button5 = nullptr;  // "&Anuluj"

  // Saves the report under `target` (the overwrite question first). True when saved.
  bool SaveTo(const QString& target);
  // Prints the report on `printer`. True when it printed.
  bool PrintOn(QPrinter& printer);

  const QString& title() const { return title_; }
  const QString& fileName() const { return fileName_; }

 protected:
  void done(int result) override;

 private:
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();

  AppContext& context_;
  QString tempPath_, title_, fileName_;
  TNagrywanieCD_DVD* disc_ = nullptr;
};

}  // namespace ulvo
