/* Numbers of the program's dialogs and controls. They share one number space
   with the texts of languages.ini: a dialog's caption is the text numbered
   like the dialog, a control's text the text numbered like the control.
   Plain defines, so that the resource compiler, the user interface and the
   tests can all include this file. */
#ifndef TARN_RESOURCE_H
#define TARN_RESOURCE_H

/* The command-line help; its caption is the help's caption text. */
#define IDD_HELP 203
/* The help's read-only text; no text carries this number, so nothing
   replaces the help when the dialog is translated. */
#define IDC_HELP_TEXT 1300

#endif
