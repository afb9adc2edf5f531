// Reading a module's resources as the linker stored them: dialog templates, icon groups and
// the version block, so tests can check the rules they must keep.
#ifndef PELMAR_MODULE_RESOURCES_H
#define PELMAR_MODULE_RESOURCES_H

#include <windows.h>

#include <string>
#include <vector>

// One control of a DIALOGEX template; predefined classes by their names ("Button").
struct TemplateItem
{
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::string className, text;
};

struct DialogTemplate
{
    DWORD exStyle = 0, style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

// Empty (no items, no caption) when module holds no DIALOGEX template of that id.
DialogTemplate LoadDialogTemplate(HMODULE module, int id);

// One image of an icon group: 0 stands for 256.
struct IconGroupEntry
{
    int width, height, bitCount, id;
};
std::vector<IconGroupEntry> IconGroupEntries(HMODULE module, int group);

// The fixed part of module's version block; false when it has none.
bool ModuleVersion(HMODULE module, VS_FIXEDFILEINFO *fixed);

#endif
