#include "stamptext/ui/MaskLineEdit.h"

#include <QFocusEvent>

namespace tess::stamptext::ui {

void MaskLineEdit::focusOutEvent(QFocusEvent* event)
{
    // QLineEdit drops its selection when it loses the focus; put it back afterwards, with
    // the caret at the same end.
    const int caret = cursorPosition();
    const int start = selectionStart();
    const int length = int(selectedText().size());
    QLineEdit::focusOutEvent(event);
    if (start >= 0 && length > 0) {
        const int anchor = caret == start ? start + length : start;
        setSelection(anchor, caret - anchor);
    } else {
        setCursorPosition(caret);
    }
}

} // namespace tess::stamptext::ui
