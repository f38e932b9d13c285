// Whether Ctrl, Shift, Alt or another key (a letter, say) is held down now, as Windows' keyboard
// state query answers it; fed by an event filter on the whole application.
#pragma once

namespace platform {

// Installs the filter on the running application; later calls do nothing. Keys pressed before
// it was installed are not known.
void installKeyState();

// `qtKey` is a Qt::Key value: Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt, Qt::Key_A ...
// (letters by their capital, whatever Shift does). AltGr counts as Alt.
bool isKeyDown(int qtKey);
bool ctrlDown();
bool shiftDown();
bool altDown();

// Forgets every held key; done by the filter when the application loses the keyboard, since
// releases then go to another program.
void resetKeyState();

} // namespace platform
