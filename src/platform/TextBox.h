#pragma once

class QLineEdit;
class QWidget;

// A one-line text box that holds whatever is typed or pasted into it, as
// long as it is: the toolkit's own cuts a text at 32,767 characters without
// a word, and the record would be stored cut.
QLineEdit *newTextBox(QWidget *parent);
