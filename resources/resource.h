/* Ids and texts of the menu, the About dialog and the icon. Plain #defines
   so that both the Windows resource compiler and the C++ code read them: the
   GTK front end builds its menu from the same table (menu_table.h). */
#ifndef TARNO_RESOURCE_H
#define TARNO_RESOURCE_H

#define IDI_APP 1
#define IDD_ABOUT 3
#define IDR_MENU 8
#define IDR_ACCELERATORS 12
#define IDD_ASK_TEXT 14
#define IDD_HOW_TO_PLAY 15
#define IDC_ASK_PROMPT 1001
#define IDC_ASK_TEXT 1002

#define IDM_EXIT 2
#define IDM_ABOUT 4
#define IDM_RESET 5
#define IDM_UNDO 6
#define IDM_REDO 7
#define IDM_HINT 9
#define IDM_OPEN_LEVEL 10
#define IDM_HOW_TO_PLAY 11
#define IDM_RECORDS 13
#define IDM_SOUND 14
#define IDM_LEVEL1 21
#define IDM_LEVEL12 32
/* Levels made on the spot, and their code. */
#define IDM_NEW_EASY 61
#define IDM_NEW_MEDIUM 62
#define IDM_NEW_HARD 63
#define IDM_DAILY 64
#define IDM_OPEN_CODE 65
#define IDM_COPY_CODE 66
#define IDM_SHARE 67
/* The way on: after a win, the next level or another made one (a button);
   a new level of the grade last chosen (File). */
#define IDM_NEXT 68
#define IDM_NEW_LEVEL 69

#define TEXT_TITLE "Tarno"
#define TEXT_MENU_FILE "&File"
#define TEXT_MENU_RESET "Reset"
#define TEXT_MENU_LEVELS "Levels"
#define TEXT_MENU_EXIT "Exit"
#define TEXT_MENU_HELP "&Help"
#define TEXT_MENU_ABOUT "&About Tarno"
#define TEXT_VERSION "1.0"
#define TEXT_MENU_EDIT "&Edit"
#define TEXT_MENU_UNDO "Undo"
#define TEXT_MENU_REDO "Redo"
#define TEXT_MENU_HINT "Hint"
#define TEXT_MENU_OPEN_LEVEL "Open level\xE2\x80\xA6"
#define TEXT_MENU_HOW_TO_PLAY "How to play"
#define TEXT_MENU_VIEW "&View"
#define TEXT_MENU_RECORDS "Records\xE2\x80\xA6"
#define TEXT_MENU_SOUND "Sound"
#define TEXT_MENU_NEW_LEVEL "New level"
#define TEXT_MENU_EASY "Easy"
#define TEXT_MENU_MEDIUM "Medium"
#define TEXT_MENU_HARD "Hard"
#define TEXT_MENU_DAILY "Daily level"
#define TEXT_MENU_OPEN_CODE "Open level code\xE2\x80\xA6"
#define TEXT_MENU_COPY_CODE "Copy level code"
#define TEXT_MENU_SHARE "Share this level"
#define TEXT_NEXT_LEVEL "Next level"
/* The keys each item shows beside its text. */
#define KEY_RESET "R"
#define KEY_EXIT "Esc"
#define KEY_UNDO "Ctrl+Z"
#define KEY_REDO "Ctrl+Shift+Z"
#define KEY_HINT "H"
#define KEY_OPEN_LEVEL "Ctrl+O"
#define KEY_SOUND "M"

#endif
