// The Linux desktop front end: one GTK window with the menu bar and the
// field, the display's frame clock driving the game's frames, key and mouse
// events, the About dialog and message boxes, the progress file. The window
// may be resized or made full screen: the field scales with it.
#include <gtk/gtk.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "menu_table.h"
#include "platform/files/files.h"
#include "platform/gtk/keymap.h"
#include "platform/gtk/setting_file.h"
#include "platform/pacing/pacing.h"
#include "platform/platform.h"
#include "platform/view/field_view.h"
#include "shell/shell.h"

namespace {

constexpr int MAX_COMMAND_ID = 64;
constexpr int MAX_MENUS = 8;
constexpr const char* ICON_FILE = "tarno-icon.xpm";

GtkWidget* Window = nullptr;
GtkWidget* Field = nullptr;
GtkWidget* Status = nullptr;
GtkWidget* StatusRow = nullptr;  // the status line and the buttons under it
bool PrintStatus = false;        // TARNO_PRINT_STATUS: each new status line also on stdout, for tests
bool Checked[MAX_COMMAND_ID];
bool Marking = false;  // setting a mark activates the item: not a command
GtkWidget* MenuItems[MAX_COMMAND_ID];
GtkWidget* Menus[MAX_MENUS];
GtkWidget* MenuBar = nullptr;
GtkWidget* FullScreenItem = nullptr;  // the desktop's own, not the game's
int MenuCount = 0;
GdkPixbuf* Icon = nullptr;
cairo_surface_t* FieldImage = nullptr;

uint8_t Keys[256];
bool QuitRequested = false;
bool FullScreen = false;
bool InFrame = false;
int ModalDepth = 0;
FramePacer Pacer;

// Undo and Redo beside the status line, and the way on after a win.
GtkWidget* UndoButton = nullptr;
GtkWidget* RedoButton = nullptr;
GtkWidget* NextButton = nullptr;

char ConfigDir[PATH_MAX];
char DataDir[PATH_MAX];

// Start-up benchmark: TARNO_BENCH_FIRST_FRAME=N prints the milliseconds from
// main() to the first frame on screen, then quits after N frames.
int64_t StartUs = 0;
long BenchFrames = 0;
long FramesShown = 0;

void ClearKeys() { std::memset(Keys, 0, sizeof Keys); }

// The saved level and the sound switch live here.
const char* ConfigFolder() {
    if (!ConfigDir[0]) {
        // A config folder too long for a path to the saved level leaves it
        // empty: the values then read as absent and writes fail, as any
        // unusable store would.
        const int a = std::snprintf(ConfigDir, sizeof ConfigDir, "%s/tarno", g_get_user_config_dir());
        if (a < 0 || static_cast<size_t>(a) + 1 + std::strlen(SAVED_LEVEL_SETTING) >= sizeof ConfigDir)
            ConfigDir[0] = '\0';
    }
    return ConfigDir;
}

// The records live with the player's data, the sound switch with the saved
// level in the config folder (both honour the XDG variables).
const char* SettingFolder(const char* name) {
    if (std::strcmp(name, "records") != 0) return ConfigFolder();
    if (!DataDir[0] &&
        std::snprintf(DataDir, sizeof DataDir, "%s/tarno", g_get_user_data_dir()) >= static_cast<int>(sizeof DataDir))
        DataDir[0] = '\0';
    return DataDir;
}

bool MenuOpen() {
    for (int i = 0; i < MenuCount; ++i)
        if (gtk_widget_get_mapped(Menus[i])) return true;
    return false;
}

// Frames run while the window has the keyboard and nothing modal is up,
// like a game that only plays while it is the active window.
bool FramesMayRun() {
    return !QuitRequested && !InFrame && ModalDepth == 0 && Window && gtk_window_is_active(GTK_WINDOW(Window)) &&
           !MenuOpen();
}

// The field's place in the drawing area, in device pixels: on a HiDPI
// screen a widget pixel is several device pixels, and the field is scaled
// for those, so it stays crisp.
FieldView CurrentView(int* deviceScale) {
    *deviceScale = gtk_widget_get_scale_factor(Field);
    return PlaceField(gtk_widget_get_allocated_width(Field) * *deviceScale,
                      gtk_widget_get_allocated_height(Field) * *deviceScale, FIELD_SIZE);
}

// ---- Frames ---------------------------------------------------------------

// The display's frame clock ticks at its refresh rate; the pacer picks the
// ticks that start a 60-per-second frame slot. Waiting here instead of in
// PlatformWaitFrame keeps the main loop free between frames, so events and
// redraws are never held up by a sleeping frame.
// Greyed when it would do nothing.
void OfferCommand(GtkWidget* button, int id) {
    const bool offered = CommandAvailable(id);
    if (button && gtk_widget_get_sensitive(button) != offered) {
        gtk_widget_set_sensitive(button, offered);
        if (PrintStatus) {
            std::printf("offered: %s %d\n", gtk_button_get_label(GTK_BUTTON(button)), offered ? 1 : 0);
            std::fflush(stdout);
        }
    }
    if (MenuItems[id] && gtk_widget_get_sensitive(MenuItems[id]) != offered)
        gtk_widget_set_sensitive(MenuItems[id], offered);
}

void ShowButtons() {
    OfferCommand(UndoButton, IDM_UNDO);
    OfferCommand(RedoButton, IDM_REDO);
    const char* next = NextStepText();
    if (!NextButton || gtk_widget_get_visible(NextButton) == (next != nullptr)) {
        if (next && std::strcmp(gtk_button_get_label(GTK_BUTTON(NextButton)), next) != 0)
            gtk_button_set_label(GTK_BUTTON(NextButton), next);
        return;
    }
    if (next) gtk_button_set_label(GTK_BUTTON(NextButton), next);
    gtk_widget_set_visible(NextButton, next != nullptr);
    if (PrintStatus && !next) {
        std::printf("next: none\n");
        std::fflush(stdout);
    }
}

// TARNO_STATUS_SAMPLES=FILE, for tests: once the window shows, each line of
// the file in turn takes the status's words, and the lines it needs at the
// window's width are told as for the game's own.
constexpr guint SAMPLE_MS = 250;
bool Sampling = false;  // the status shows the samples, not the game's words

gboolean ShowStatusSample(gpointer file) {
    char line[1024];
    if (!std::fgets(line, sizeof line, static_cast<std::FILE*>(file))) {
        std::fclose(static_cast<std::FILE*>(file));
        Sampling = false;
        std::printf("samples: done\n");
        std::fflush(stdout);
        return G_SOURCE_REMOVE;
    }
    line[std::strcspn(line, "\n")] = '\0';
    std::printf("sample: %s\n", line);
    std::fflush(stdout);
    gtk_label_set_text(GTK_LABEL(Status), line);
    return G_SOURCE_CONTINUE;
}

// Where the Next button shows, in the window, for tests that click it.
void OnNextPlaced(GtkWidget* button, GdkRectangle*, gpointer) {
    if (!PrintStatus || !gtk_widget_get_visible(button)) return;
    int x = 0, y = 0;
    gtk_widget_translate_coordinates(button, Window, gtk_widget_get_allocated_width(button) / 2,
                                     gtk_widget_get_allocated_height(button) / 2, &x, &y);
    std::printf("next: %s at %d %d\n", gtk_button_get_label(GTK_BUTTON(button)), x, y);
    std::fflush(stdout);
}

void ShowStatus() {
    ShowButtons();
    static bool placed = false;
    if (PrintStatus && !placed && Field && Window && gtk_widget_get_mapped(Field)) {
        // Where the field's pixels start in the window, for tests that look at them.
        int fx = 0, fy = 0, deviceScale = 1;
        const FieldView view = CurrentView(&deviceScale);
        gtk_widget_translate_coordinates(Field, Window, static_cast<int>(view.left / deviceScale),
                                         static_cast<int>(view.top / deviceScale), &fx, &fy);
        std::printf("field: %d %d\n", fx, fy);
        std::fflush(stdout);
        placed = true;
    }
    if (!Status || Sampling) return;
    // The first-run tip under the words, in their second line, until the first shot.
    const char* changed = ChangedStatusLine();
    const char* tip = FirstRunTip();
    static const char* shownTip = nullptr;
    static bool anyShown = false;
    if (!changed && anyShown && tip == shownTip) return;
    const char* text = changed ? changed : StatusLine();
    if (PrintStatus && (tip != shownTip || !anyShown)) {
        std::printf("tip: %s\n", tip ? tip : "none");
        std::fflush(stdout);
    }
    shownTip = tip;
    anyShown = true;
    char shown[1024];
    std::snprintf(shown, sizeof shown, "%s%s%s", text, tip ? "\n" : "", tip ? tip : "");
    gtk_label_set_text(GTK_LABEL(Status), shown);
    if (PrintStatus) {
        std::printf("status: %s\n", text);
        std::fflush(stdout);
    }
}

gboolean OnTick(GtkWidget*, GdkFrameClock* clock, gpointer) {
    if (!FramesMayRun()) {
        ResetPacer(&Pacer);
        return G_SOURCE_CONTINUE;
    }
    const int due = FramesDue(&Pacer, gdk_frame_clock_get_frame_time(clock));
    for (int i = 0; i < due && FramesMayRun(); ++i) {
        InFrame = true;
        RunFrame();
        InFrame = false;
    }
    ShowStatus();
    return G_SOURCE_CONTINUE;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer) {
    int deviceScale = 1;
    const FieldView view = CurrentView(&deviceScale);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    if (view.scale <= 0) return FALSE;
    cairo_save(cr);
    cairo_scale(cr, 1.0 / deviceScale, 1.0 / deviceScale);
    cairo_translate(cr, view.left, view.top);
    cairo_scale(cr, view.scale, view.scale);
    cairo_set_source_surface(cr, FieldImage, 0, 0);
    // Whole factors repeat each pixel; only a field squeezed below its size
    // is filtered, so that it stays legible.
    cairo_pattern_set_filter(cairo_get_source(cr), view.whole ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
    cairo_rectangle(cr, 0, 0, FIELD_SIZE, FIELD_SIZE);
    cairo_fill(cr);
    cairo_restore(cr);
    if (BenchFrames > 0 && FramesShown > 0 && FramesShown < LONG_MAX) {
        if (FramesShown == 1) {
            std::printf("first frame %.1f ms\n", (g_get_monotonic_time() - StartUs) / 1000.0);
            std::fflush(stdout);
        }
        if (FramesShown >= BenchFrames) {
            FramesShown = LONG_MAX;
            PlatformRequestQuit();
        }
    }
    return FALSE;
}

// ---- Input ----------------------------------------------------------------

void ToggleFullScreen() {
    if (FullScreen) gtk_window_unfullscreen(GTK_WINDOW(Window));
    else gtk_window_fullscreen(GTK_WINDOW(Window));
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer) {
    FullScreen = (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
    return FALSE;
}

gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
    if (event->keyval == GDK_KEY_F11) {
        ToggleFullScreen();
        return TRUE;
    }
    const uint8_t code = ScanCodeForKey(event->hardware_keycode, event->keyval);
    if (code) Keys[code] = 0x80;
    OnCommand(Command{COMMAND_KEY_DOWN, code, 0, 0});
    return FALSE;  // menu keys (F10, Alt+F) still reach the menu bar
}

gboolean OnKeyRelease(GtkWidget*, GdkEventKey* event, gpointer) {
    const uint8_t code = ScanCodeForKey(event->hardware_keycode, event->keyval);
    if (code) Keys[code] = 0;
    OnCommand(Command{COMMAND_KEY_UP, code, 0, 0});
    return FALSE;
}

// A key let go while the window had no focus sends no release here.
gboolean OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer) {
    ClearKeys();
    return FALSE;
}

// The mouse and the pen act on the press; a finger's press, held or let go,
// is the game's to read (LONG_PRESS_MS): this only times it.
guint LongPressTimer = 0;

gboolean OnLongPress(gpointer) {
    LongPressTimer = 0;
    OnCommand(Command{COMMAND_TOUCH_HELD, 0, 0, 0});
    return G_SOURCE_REMOVE;
}

bool ByFinger(GdkEventButton* event) {
    GdkDevice* device = gdk_event_get_source_device(reinterpret_cast<GdkEvent*>(event));
    return device && gdk_device_get_source(device) == GDK_SOURCE_TOUCHSCREEN;
}

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer) {
    if (event->type != GDK_BUTTON_PRESS) return FALSE;  // not the extra double-click events
    int deviceScale = 1;
    const FieldView view = CurrentView(&deviceScale);
    int32_t x = 0, y = 0;
    if (!ViewToField(view, event->x * deviceScale, event->y * deviceScale, FIELD_SIZE, &x, &y)) return FALSE;
    if (event->button == GDK_BUTTON_PRIMARY && ByFinger(event)) {
        if (!LongPressTimer) LongPressTimer = g_timeout_add(LONG_PRESS_MS, OnLongPress, nullptr);
        OnCommand(Command{COMMAND_TOUCH_DOWN, 0, x, y});
    } else if (event->button == GDK_BUTTON_PRIMARY) {
        OnCommand(Command{COMMAND_TAP, 0, x, y});
    } else if (event->button == GDK_BUTTON_SECONDARY) {
        OnCommand(Command{COMMAND_RIGHT_CLICK, 0, x, y});
    }
    return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer) {
    if (event->button != GDK_BUTTON_PRIMARY || !ByFinger(event)) return FALSE;
    if (LongPressTimer) g_source_remove(LongPressTimer);
    LongPressTimer = 0;
    OnCommand(Command{COMMAND_TOUCH_UP, 0, 0, 0});
    return TRUE;
}

void OnComfortClicked(GtkButton*, gpointer index) { OnCommand(Command{COMMAND_BUTTON, GPOINTER_TO_INT(index), 0, 0}); }

void OnNextClicked(GtkButton*, gpointer) { OnCommand(Command{COMMAND_MENU, IDM_NEXT, 0, 0}); }

// How many lines the status takes where it is laid out, for tests that
// check that two hold it.
void OnStatusPlaced(GtkWidget* label, GdkRectangle* area, gpointer) {
    if (!PrintStatus) return;
    std::printf("status lines: %d in %d px\n", pango_layout_get_line_count(gtk_label_get_layout(GTK_LABEL(label))),
                area->width);
    std::fflush(stdout);
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
    PlatformRequestQuit();
    return TRUE;  // the window stays until the game has shut down
}

// ---- Menu -----------------------------------------------------------------

void OnMenuActivate(GtkMenuItem* item, gpointer data) {
    if (Marking) return;
    const int id = GPOINTER_TO_INT(data);
    OnCommand(Command{COMMAND_MENU, id, 0, 0});
    // A check item toggles itself when chosen; the game decides its mark.
    if (GTK_IS_CHECK_MENU_ITEM(item) && id > 0 && id < MAX_COMMAND_ID) {
        Marking = true;
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), Checked[id]);
        Marking = false;
    }
}

// "Ctrl+Shift+Z", "Esc", "R" as GDK's key and modifiers.
void ParseKey(const char* text, guint* key, GdkModifierType* mods) {
    *mods = static_cast<GdkModifierType>(0);
    for (;;) {
        if (std::strncmp(text, "Ctrl+", 5) == 0) {
            *mods = static_cast<GdkModifierType>(*mods | GDK_CONTROL_MASK);
            text += 5;
        } else if (std::strncmp(text, "Shift+", 6) == 0) {
            *mods = static_cast<GdkModifierType>(*mods | GDK_SHIFT_MASK);
            text += 6;
        } else {
            break;
        }
    }
    if (std::strcmp(text, "Esc") == 0) *key = GDK_KEY_Escape;
    else *key = gdk_keyval_to_lower(gdk_unicode_to_keyval(static_cast<guint32>(text[0])));
}

// Keys with Ctrl are the menu's own accelerators; the plain keys the game
// reads itself are only shown.
void AddKey(GtkWidget* item, int id, const char* text, GtkAccelGroup* accels) {
    guint key = 0;
    GdkModifierType mods;
    ParseKey(text, &key, &mods);
    if (mods & GDK_CONTROL_MASK) {
        gtk_widget_add_accelerator(item, "activate", accels, key, mods, GTK_ACCEL_VISIBLE);
        if (id == IDM_REDO)
            gtk_widget_add_accelerator(item, "activate", accels, GDK_KEY_y, GDK_CONTROL_MASK,
                                       static_cast<GtkAccelFlags>(0));
    } else if (GtkWidget* label = gtk_bin_get_child(GTK_BIN(item))) {
        if (GTK_IS_ACCEL_LABEL(label)) gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), key, mods);
    }
}

void OnFullScreenActivate(GtkMenuItem*, gpointer) { ToggleFullScreen(); }

void OnMenuShow(GtkWidget*, gpointer) { ClearKeys(); }

// "&File" becomes "_File"; a literal underscore is doubled.
void MnemonicText(const char* text, char* out, size_t size) {
    size_t n = 0;
    for (const char* c = text; *c && n + 2 < size; ++c) {
        if (*c == '&') out[n++] = '_';
        else if (*c == '_') out[n++] = '_', out[n++] = '_';
        else out[n++] = *c;
    }
    out[n] = '\0';
}

GtkWidget* NewMenu(GtkWidget* parentItem) {
    GtkWidget* menu = gtk_menu_new();
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(parentItem), menu);
    g_signal_connect(menu, "show", G_CALLBACK(OnMenuShow), nullptr);
    if (MenuCount < MAX_MENUS) Menus[MenuCount++] = menu;
    return menu;
}

GtkWidget* BuildMenuBar(GtkAccelGroup* accels) {
    GtkWidget* bar = gtk_menu_bar_new();
    GtkWidget* menus[4] = {bar, nullptr, nullptr, nullptr};  // the open menu at each depth
    GtkWidget* viewMenu = nullptr;
    for (const MenuEntry& e : MENU_TABLE) {
        if (e.depth < 0 || e.depth > 3 || !menus[e.depth]) continue;
        if (e.id == MENU_SEPARATOR) {
            gtk_menu_shell_append(GTK_MENU_SHELL(menus[e.depth]), gtk_separator_menu_item_new());
            continue;
        }
        char text[128];
        MnemonicText(e.text, text, sizeof text);
        const bool check = e.radio || e.id == IDM_SOUND;
        GtkWidget* item = check ? gtk_check_menu_item_new_with_mnemonic(text) : gtk_menu_item_new_with_mnemonic(text);
        if (e.radio) gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(item), TRUE);
        if (e.key) AddKey(item, e.id, e.key, accels);
        gtk_menu_shell_append(GTK_MENU_SHELL(menus[e.depth]), item);
        if (e.grayed) gtk_widget_set_sensitive(item, FALSE);
        if (e.id == 0) {
            if (e.depth < 3) menus[e.depth + 1] = NewMenu(item);
            if (e.depth == 0 && std::strcmp(e.text, TEXT_MENU_VIEW) == 0) viewMenu = menus[1];
        } else {
            g_signal_connect(item, "activate", G_CALLBACK(OnMenuActivate), GINT_TO_POINTER(e.id));
            if (e.id > 0 && e.id < MAX_COMMAND_ID) MenuItems[e.id] = item;
        }
    }
    // The desktop's own item joins the game's View menu.
    GtkWidget* full = FullScreenItem = gtk_menu_item_new_with_mnemonic("_Full Screen");
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(full))), GDK_KEY_F11, GdkModifierType(0));
    if (viewMenu) gtk_menu_shell_append(GTK_MENU_SHELL(viewMenu), full);
    g_signal_connect(full, "activate", G_CALLBACK(OnFullScreenActivate), nullptr);
    return bar;
}

// ---- Window ---------------------------------------------------------------

// The first window shows the field 1:1 if the screen's work area (less the
// panels) holds it with the menu bar and a title bar, and smaller if not,
// as on a 1366 by 768 laptop.
void SizeFirstWindow() {
    constexpr int TITLE_BAR_ROOM = 40;  // the window manager's decoration, roughly
    int side = FIELD_SIZE;
    int menuHeight = 0;
    gtk_widget_show_all(MenuBar);  // a hidden menu bar asks for no room
    gtk_widget_get_preferred_height(MenuBar, nullptr, &menuHeight);
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
    if (monitor) {
        GdkRectangle area;
        gdk_monitor_get_workarea(monitor, &area);
        const int fitsHigh = area.height - menuHeight - TITLE_BAR_ROOM;
        if (fitsHigh < side) side = fitsHigh;
        if (area.width < side) side = area.width;
        if (side < FIELD_SIZE / 4) side = FIELD_SIZE / 4;
    }
    int statusHeight = 0;
    gtk_widget_show_all(StatusRow);
    gtk_widget_get_preferred_height(StatusRow, nullptr, &statusHeight);
    gtk_window_set_default_size(GTK_WINDOW(Window), side, side + menuHeight + statusHeight);
}

void BuildWindow() {
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(Window), TEXT_TITLE);
    // The installed icon theme's, drawn at every size, where there is one;
    // the game's own small one otherwise.
    Icon = gdk_pixbuf_new_from_file(ICON_FILE, nullptr);
    if (gtk_icon_theme_has_icon(gtk_icon_theme_get_default(), "tarno"))
        gtk_window_set_icon_name(GTK_WINDOW(Window), "tarno");
    else if (Icon) gtk_window_set_icon(GTK_WINDOW(Window), Icon);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(Window), box);
    GtkAccelGroup* accels = gtk_accel_group_new();
    gtk_window_add_accel_group(GTK_WINDOW(Window), accels);
    MenuBar = BuildMenuBar(accels);
    gtk_box_pack_start(GTK_BOX(box), MenuBar, FALSE, FALSE, 0);

    Field = gtk_drawing_area_new();
    gtk_widget_set_size_request(Field, FIELD_SIZE / 4, FIELD_SIZE / 4);
    gtk_widget_add_events(Field, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    gtk_box_pack_start(GTK_BOX(box), Field, TRUE, TRUE, 0);

    // The status line under the field, the whole width: it wraps rather than
    // cuts, and two lines are kept for it, so the field does not jump when it
    // grows to its second.
    Status = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(Status), 0.0f);
    gtk_label_set_yalign(GTK_LABEL(Status), 0.0f);
    gtk_label_set_line_wrap(GTK_LABEL(Status), TRUE);
    gtk_label_set_line_wrap_mode(GTK_LABEL(Status), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_width_chars(GTK_LABEL(Status), 1);
    gtk_widget_set_margin_start(Status, 6);
    gtk_widget_set_margin_end(Status, 6);
    gtk_widget_set_margin_top(Status, 3);
    PangoLayout* twoLines = gtk_widget_create_pango_layout(Status, "Ag\nAg");
    int twoLinesHigh = 0;
    pango_layout_get_pixel_size(twoLines, nullptr, &twoLinesHigh);
    g_object_unref(twoLines);
    gtk_widget_set_size_request(Status, -1, twoLinesHigh);
    g_signal_connect(Status, "size-allocate", G_CALLBACK(OnStatusPlaced), nullptr);
    StatusRow = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_pack_start(GTK_BOX(StatusRow), Status, FALSE, FALSE, 0);
    GtkWidget* buttonRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 2);
    gtk_widget_set_halign(buttonRow, GTK_ALIGN_END);
    gtk_widget_set_margin_end(buttonRow, 2);
    gtk_widget_set_margin_bottom(buttonRow, 2);
    gtk_box_pack_start(GTK_BOX(StatusRow), buttonRow, FALSE, FALSE, 0);
    // Pointer players' Undo, Redo, Hint and Restart. They never take the
    // keyboard's focus, so the arrows and Enter stay the game's, and they are
    // slim, so the field keeps its room.
    GtkCssProvider* slim = gtk_css_provider_new();
    gtk_css_provider_load_from_data(slim, "button { padding: 0 10px; min-height: 0; }", -1, nullptr);
    for (int i = 0; i < static_cast<int>(sizeof COMFORT_BUTTONS / sizeof COMFORT_BUTTONS[0]); ++i) {
        GtkWidget* button = gtk_button_new_with_label(COMFORT_BUTTONS[i].text);
        gtk_widget_set_can_focus(button, FALSE);
        gtk_style_context_add_provider(gtk_widget_get_style_context(button), GTK_STYLE_PROVIDER(slim),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_signal_connect(button, "clicked", G_CALLBACK(OnComfortClicked), GINT_TO_POINTER(i));
        gtk_box_pack_start(GTK_BOX(buttonRow), button, FALSE, FALSE, 0);
        if (std::strcmp(COMFORT_BUTTONS[i].text, TEXT_MENU_UNDO) == 0) UndoButton = button;
        if (std::strcmp(COMFORT_BUTTONS[i].text, TEXT_MENU_REDO) == 0) RedoButton = button;
    }
    // After a win: the next level, or another made one. Hidden until then.
    NextButton = gtk_button_new_with_label(TEXT_NEXT_LEVEL);
    gtk_widget_set_can_focus(NextButton, FALSE);
    gtk_widget_set_no_show_all(NextButton, TRUE);
    gtk_style_context_add_provider(gtk_widget_get_style_context(NextButton), GTK_STYLE_PROVIDER(slim),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_signal_connect(NextButton, "clicked", G_CALLBACK(OnNextClicked), nullptr);
    g_signal_connect(NextButton, "size-allocate", G_CALLBACK(OnNextPlaced), nullptr);
    gtk_box_pack_start(GTK_BOX(buttonRow), NextButton, FALSE, FALSE, 0);
    g_object_unref(slim);
    gtk_box_pack_end(GTK_BOX(box), StatusRow, FALSE, FALSE, 0);

    // Until the first frame the field is black, as the game's window class paints it.
    FieldImage = cairo_image_surface_create(CAIRO_FORMAT_RGB24, FIELD_SIZE, FIELD_SIZE);

    g_signal_connect(Field, "draw", G_CALLBACK(OnDraw), nullptr);
    g_signal_connect(Field, "button-press-event", G_CALLBACK(OnButtonPress), nullptr);
    g_signal_connect(Field, "button-release-event", G_CALLBACK(OnButtonRelease), nullptr);
    g_signal_connect(Window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
    g_signal_connect(Window, "key-release-event", G_CALLBACK(OnKeyRelease), nullptr);
    g_signal_connect(Window, "focus-out-event", G_CALLBACK(OnFocusOut), nullptr);
    g_signal_connect(Window, "delete-event", G_CALLBACK(OnDelete), nullptr);
    g_signal_connect(Window, "window-state-event", G_CALLBACK(OnWindowState), nullptr);
    SizeFirstWindow();
}

// TARNO_COMMAND_PROBE: every item of the menu bar activated and every button
// beside the status line clicked, as a player would, with the game only
// counting what reaches it; what never did is printed.
void ActivateMenuItems(GtkWidget* widget, gpointer) {
    if (!GTK_IS_MENU_ITEM(widget)) return;
    if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)))
        gtk_container_foreach(GTK_CONTAINER(sub), ActivateMenuItems, nullptr);
    else if (widget != FullScreenItem) gtk_menu_item_activate(GTK_MENU_ITEM(widget));
}

void ClickButtons(GtkWidget* widget, gpointer) {
    if (GTK_IS_BUTTON(widget)) gtk_button_clicked(GTK_BUTTON(widget));
    else if (GTK_IS_CONTAINER(widget)) gtk_container_foreach(GTK_CONTAINER(widget), ClickButtons, nullptr);
}

void ProbeCommands() {
    SetCommandProbe(true);
    gtk_container_foreach(GTK_CONTAINER(MenuBar), ActivateMenuItems, nullptr);
    gtk_container_foreach(GTK_CONTAINER(StatusRow), ClickButtons, nullptr);
    const char* missed = CommandsMissed();
    std::printf("commands missed: %s\n", missed[0] ? missed : "none");
    SetCommandProbe(false);
}

// Runs a dialog modally; no frame runs meanwhile, and keys held when it
// opened are forgotten when it closes (their releases went to the dialog).
void RunModal(GtkWidget* dialog) {
    ++ModalDepth;
    ClearKeys();
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    ClearKeys();
    --ModalDepth;
}

// Dialog units to pixels for the About box's layout, roughly what its
// 8-point font gives.
int DialogX(int units) { return units * 7 / 4; }
int DialogY(int units) { return units * 2; }

}  // namespace

// ---- Display and clock ----------------------------------------------------

// The window is the display: there is no mode to change.
int PlatformInitDisplay(int32_t, int32_t, int32_t) { return 1; }
void PlatformShutdownDisplay() {}

// The frame clock has already waited for this frame's slot (OnTick).
void PlatformWaitFrame() {}

void PlatformPresent(Surface* back, const FieldTiles&) {
    int32_t pitch = 0;
    const uint32_t* src = PlatformLockSurface(back, &pitch);
    if (!src || !FieldImage) return;
    const SurfaceSize size = PlatformSurfaceSize(back);
    const int rows = size.height < FIELD_SIZE ? size.height : FIELD_SIZE;
    const int cols = size.width < FIELD_SIZE ? size.width : FIELD_SIZE;
    cairo_surface_flush(FieldImage);
    unsigned char* dst = cairo_image_surface_get_data(FieldImage);
    const int stride = cairo_image_surface_get_stride(FieldImage);
    // Copied, not shared: a message box shown in the middle of the next
    // frame must not expose a half-drawn field.
    for (int y = 0; y < rows; ++y)
        std::memcpy(dst + static_cast<size_t>(y) * stride,
                    reinterpret_cast<const unsigned char*>(src) + static_cast<size_t>(y) * pitch,
                    static_cast<size_t>(cols) * 4);
    PlatformUnlockSurface(back);
    cairo_surface_mark_dirty(FieldImage);
    if (Field) gtk_widget_queue_draw(Field);
    if (FramesShown < LONG_MAX) ++FramesShown;
}

uint32_t PlatformTicks() { return static_cast<uint32_t>(g_get_monotonic_time() / 1000); }

void PlatformIdle() {}

// ---- Keyboard and mouse ---------------------------------------------------

int PlatformInitKeyboard() {
    ClearKeys();
    return 1;
}

int PlatformReadKeyboard(uint8_t state[256]) {
    std::memcpy(state, Keys, sizeof Keys);
    return 1;
}

void PlatformReleaseKeyboard() {}

bool PlatformKeyDownNow(int32_t virtualKey) {
    uint8_t codes[2];
    ScanCodesForVirtualKey(virtualKey, codes);
    return (codes[0] && Keys[codes[0]]) || (codes[1] && Keys[codes[1]]);
}

// ---- Window, menu, messages -----------------------------------------------

void PlatformShowMessage(const char* text) {
    GtkWidget* dialog = gtk_message_dialog_new(Window ? GTK_WINDOW(Window) : nullptr, GTK_DIALOG_MODAL,
                                               GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text ? text : "");
    gtk_window_set_title(GTK_WINDOW(dialog), "");
    RunModal(dialog);
}

void ShowAbout() {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(TEXT_TITLE, Window ? GTK_WINDOW(Window) : nullptr, GTK_DIALOG_MODAL,
                                                    "OK", GTK_RESPONSE_OK, nullptr);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* layout = gtk_fixed_new();
    gtk_widget_set_margin_end(layout, DialogX(8));
    gtk_widget_set_margin_bottom(layout, DialogY(4));
    if (Icon) gtk_fixed_put(GTK_FIXED(layout), gtk_image_new_from_pixbuf(Icon), DialogX(3), DialogY(2));
    for (const AboutLine& line : ABOUT_LINES) {
        // The version number is its own control in the table; one label
        // reads better than two that a wider font might overlap.
        if (std::strcmp(line.text, TEXT_VERSION) == 0) continue;
        const bool version = std::strcmp(line.text, "Version ") == 0;
        GtkWidget* label = gtk_label_new(version ? "Version " TEXT_VERSION : line.text);
        gtk_fixed_put(GTK_FIXED(layout), label, DialogX(line.x), DialogY(line.y));
    }
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), layout, TRUE, TRUE, 0);
    gtk_widget_show_all(dialog);
    RunModal(dialog);
}

void PlatformMarkMenuItem(int32_t commandId, MenuMark mark) {
    if (commandId <= 0 || commandId >= MAX_COMMAND_ID) return;
    if (mark == MENU_ENABLE) {
        if (MenuItems[commandId]) gtk_widget_set_sensitive(MenuItems[commandId], TRUE);
        return;
    }
    const bool checked = mark == MENU_CHECK;
    Checked[commandId] = checked;
    if (MenuItems[commandId] && GTK_IS_CHECK_MENU_ITEM(MenuItems[commandId])) {
        Marking = true;
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(MenuItems[commandId]), checked);
        Marking = false;
    }
}

// A sheet cell or two, drawn keyed (black is clear) at PICTURE_SIDE pixels,
// with the red glow of a lost board along its outer (top) edge when asked.
constexpr int PICTURE_SIDE = 32;

GtkWidget* HowToPicture(GdkPixbuf* sheet, const HowToLine& line) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PICTURE_SIDE, PICTURE_SIDE);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, PICTURE_SIDE / 48.0, PICTURE_SIDE / 48.0);
    for (int cell : {line.picture, line.over}) {
        if (cell == NO_PICTURE) continue;
        const SheetSpot spot = SheetCellSpot(cell);
        if (spot.x + spot.side > gdk_pixbuf_get_width(sheet) || spot.y + spot.side > gdk_pixbuf_get_height(sheet))
            continue;
        GdkPixbuf* piece = gdk_pixbuf_new_subpixbuf(sheet, spot.x, spot.y, spot.side, spot.side);
        GdkPixbuf* keyed = gdk_pixbuf_add_alpha(piece, TRUE, 0, 0, 0);
        gdk_cairo_set_source_pixbuf(cr, keyed, 0, 0);
        cairo_paint(cr);
        g_object_unref(keyed);
        g_object_unref(piece);
    }
    if (line.glow) {
        cairo_pattern_t* glow = cairo_pattern_create_linear(0, 0, 0, 10);
        cairo_pattern_add_color_stop_rgba(glow, 0, 0.88, 0.16, 0.16, 1);
        cairo_pattern_add_color_stop_rgba(glow, 1, 0.88, 0.16, 0.16, 0);
        cairo_rectangle(cr, 0, 0, 48, 10);
        cairo_set_source(cr, glow);
        cairo_fill(cr);
        cairo_pattern_destroy(glow);
    }
    cairo_destroy(cr);
    GtkWidget* image = gtk_image_new_from_surface(surface);
    cairo_surface_destroy(surface);
    return image;
}

// A panel's grid, with a margin, in its dialog; shown until closed.
void ShowGridPanel(GtkWidget* dialog, GtkWidget* grid) {
    gtk_widget_set_margin_start(grid, 12);
    gtk_widget_set_margin_end(grid, 12);
    gtk_widget_set_margin_top(grid, 12);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), grid, TRUE, TRUE, 0);
    gtk_widget_show_all(dialog);
    RunModal(dialog);
}

void ShowHowToPlay() {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(TEXT_MENU_HOW_TO_PLAY, Window ? GTK_WINDOW(Window) : nullptr,
                                                    GTK_DIALOG_MODAL, "OK", GTK_RESPONSE_OK, nullptr);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    // The pictures come from the sheet in the game's folder; without it the words alone.
    GdkPixbuf* sheet = gdk_pixbuf_new_from_file("pieces.bmp", nullptr);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 2);
    int row = 0;
    for (const HowToLine& line : HOW_TO_PLAY_LINES) {
        if (line.screen == FOR_TOUCH) continue;
        if (sheet && line.picture != NO_PICTURE)
            gtk_grid_attach(GTK_GRID(grid), HowToPicture(sheet, line), 0, row, 1, 1);
        GtkWidget* label = gtk_label_new(line.text);
        gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
        gtk_grid_attach(GTK_GRID(grid), label, 1, row, 1, 1);
        ++row;
    }
    if (sheet) g_object_unref(sheet);
    ShowGridPanel(dialog, grid);
}

// The records in columns, as the shell lays them out.
void ShowRecords() {
    GtkWidget* dialog = gtk_dialog_new_with_buttons("Records", Window ? GTK_WINDOW(Window) : nullptr, GTK_DIALOG_MODAL,
                                                    "OK", GTK_RESPONSE_OK, nullptr);
    gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(grid), 16);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 2);
    char cell[256];
    for (int row = 0; RecordsCell(row, 0, cell, sizeof cell); ++row)
        for (int column = 0; RecordsCell(row, column, cell, sizeof cell); ++column) {
            GtkWidget* label = gtk_label_new(cell);
            gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
            gtk_grid_attach(GTK_GRID(grid), label, column, row, 1, 1);
        }
    ShowGridPanel(dialog, grid);
}

void PlatformShowPanel(int32_t panel) {
    if (panel == PANEL_ABOUT) ShowAbout();
    else if (panel == PANEL_HOW_TO_PLAY) ShowHowToPlay();
    else if (panel == PANEL_RECORDS) ShowRecords();
}

bool PlatformChooseLevelFile(char* path, int32_t size) {
    GtkWidget* dialog =
        gtk_file_chooser_dialog_new("Open level", Window ? GTK_WINDOW(Window) : nullptr, GTK_FILE_CHOOSER_ACTION_OPEN,
                                    "_Cancel", GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, "Levels (*.dat, *.txt)");
    gtk_file_filter_add_pattern(filter, "*.dat");
    gtk_file_filter_add_pattern(filter, "*.txt");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
    ++ModalDepth;
    ClearKeys();
    bool chosen = false;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        if (char* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
            if (size > 0 && std::strlen(name) < static_cast<size_t>(size)) {
                std::memcpy(path, name, std::strlen(name) + 1);
                chosen = true;
            }
            g_free(name);
        }
    }
    gtk_widget_destroy(dialog);
    ClearKeys();
    --ModalDepth;
    return chosen;
}

bool PlatformAskText(const char* prompt, char* buf, int32_t size) {
    if (!buf || size <= 0) return false;
    GtkWidget* dialog =
        gtk_dialog_new_with_buttons("", Window ? GTK_WINDOW(Window) : nullptr, GTK_DIALOG_MODAL, "_Cancel",
                                    GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(box), 12);
    GtkWidget* label = gtk_label_new(prompt ? prompt : "");
    gtk_widget_set_halign(label, GTK_ALIGN_START);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_width_chars(GTK_ENTRY(entry), 40);
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), entry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), box, TRUE, TRUE, 0);
    gtk_widget_show_all(dialog);
    ++ModalDepth;
    ClearKeys();
    const bool answered = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT;
    if (answered) std::snprintf(buf, static_cast<size_t>(size), "%s", gtk_entry_get_text(GTK_ENTRY(entry)));
    gtk_widget_destroy(dialog);
    ClearKeys();
    --ModalDepth;
    return answered;
}

void PlatformCopyText(const char* text) {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), text ? text : "", -1);
}

// No share sheet here: the shell copies the command line.
bool PlatformShareLevel(const char*) { return false; }

void PlatformRequestQuit() {
    QuitRequested = true;
    g_main_context_wakeup(nullptr);
}

void PlatformBeep() {
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_beep(display);
}

// ---- Small named values: a file each, in the config or the data folder ----

int PlatformReadSetting(const char* name, SettingKind, void* buf, int32_t size, int32_t* length) {
    char path[PATH_MAX];
    const char* dir = SettingFolder(name);
    if (!dir[0] || std::snprintf(path, sizeof path, "%s/%s", dir, name) >= static_cast<int>(sizeof path)) return 0;
    return ReadSettingFile(path, buf, size, length);
}

const char* PlatformWriteSetting(const char* name, SettingKind, const void* bytes, int32_t length) {
    static char why[PATH_MAX + 128];
    return WriteSettingFile(SettingFolder(name), name, bytes, length, why, sizeof why) ? nullptr : why;
}

// One lock at a time: the records are the only value merged.
static int SettingLock = -1;

void PlatformLockSetting(const char* name) {
    if (SettingLock < 0 && SettingFolder(name)[0]) SettingLock = LockSettingFolder(SettingFolder(name));
}

void PlatformUnlockSetting(const char*) {
    UnlockSettingFolder(SettingLock);
    SettingLock = -1;
}

// What a write of a value cut short left in its folder; the game's start-up
// sweeps the level file's folder itself.
static void RemoveStaleSettingTemps() {
    const char* configTemps[] = {SAVED_LEVEL_SETTING, "sound"};
    if (ConfigFolder()[0]) RemoveStaleTemps(ConfigFolder(), configTemps, 2);
    const char* dataTemps[] = {"records"};
    if (SettingFolder("records")[0]) RemoveStaleTemps(SettingFolder("records"), dataTemps, 1);
}

int main(int argc, char** argv) {
    StartUs = g_get_monotonic_time();
    if (const char* bench = std::getenv("TARNO_BENCH_FIRST_FRAME")) {
        BenchFrames = std::strtol(bench, nullptr, 10);
        if (BenchFrames < 1) BenchFrames = 1;
    }
    // GTK's own options go first; anything else the game does not take is
    // refused before a window opens.
    gtk_parse_args(&argc, &argv);
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::printf("%s\n", COMMAND_LINE_USAGE);
        return 0;
    }
    if (!CommandLineFits(argc, argv)) {
        std::fprintf(stderr, "%s\n", COMMAND_LINE_USAGE);
        return 2;
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tarno: cannot open the display\n");
        return 1;
    }
    ConfigFolder();
    PrintStatus = std::getenv("TARNO_PRINT_STATUS") != nullptr;

    BuildWindow();
    if (std::getenv("TARNO_COMMAND_PROBE")) {
        ProbeCommands();
        return 0;
    }
    RemoveStaleSettingTemps();
    OnCreate();
    gtk_widget_show_all(Window);
    // `tarno FILE` plays that level file as a board of one's own; the
    // options start a level made on the spot.
    if (StartGame()) StartFromCommandLine(argc, argv);
    gtk_widget_add_tick_callback(Field, OnTick, nullptr, nullptr);
    if (const char* samples = PrintStatus ? std::getenv("TARNO_STATUS_SAMPLES") : nullptr)
        if (std::FILE* file = std::fopen(samples, "r")) {
            Sampling = true;
            g_timeout_add(SAMPLE_MS, ShowStatusSample, file);
        }

    // One main loop pass at a time, so a quit asked for in a frame or a
    // menu ends the loop once that pass is over.
    while (!QuitRequested) g_main_context_iteration(nullptr, TRUE);

    ShutdownGame();
    gtk_widget_destroy(Window);
    Window = nullptr;
    Field = nullptr;
    cairo_surface_destroy(FieldImage);
    FieldImage = nullptr;
    if (Icon) g_object_unref(Icon);
    return 0;
}
