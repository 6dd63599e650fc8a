#pragma once

// Lets Enter (and the keypad's Enter) press the push button that holds the
// focus, in every window, as Space does: down on the key's press, clicked on
// its release. The toolkit gives Enter only to a default button, and this
// program's windows have none.
void letEnterPressFocusedButtons();
