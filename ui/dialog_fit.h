#pragma once
// Dialog sizes: wide enough for the whole caption in the title bar, and no larger than the
// controls a family shows.

class QDialog;
class QWidget;

namespace ulvo {

// The width a window needs for its caption in a title bar, with room for the bar's buttons.
int CaptionWidth(const QWidget* window);

// Shrinks the dialog to the controls it shows and widens it to its caption.
void FitDialog(QDialog* dialog);

}  // namespace ulvo
