#include "module_resources.h"
#include "test_support.h"

#include <cstring>

namespace
{
template <typename T> T Read(const BYTE *at)
{
    T value;
    memcpy(&value, at, sizeof(value));
    return value;
}

// A name-or-ordinal field; the predefined classes' ordinals come back as their names.
const BYTE *ReadNameOrOrdinal(const BYTE *at, std::string *name)
{
    static const char *const classes[] = { "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" };
    name->clear();
    if (Read<WORD>(at) == 0xFFFF)
    {
        const WORD ordinal = Read<WORD>(at + 2);
        *name = ordinal >= 0x80 && ordinal <= 0x85 ? classes[ordinal - 0x80] : "#" + std::to_string(ordinal);
        return at + 4;
    }
    for (; Read<WORD>(at); at += 2)
        name->push_back(static_cast<char>(Read<WORD>(at)));
    return at + 2;
}

const BYTE *AlignDword(const BYTE *at)
{
    return at + ((4 - reinterpret_cast<UINT_PTR>(at) % 4) % 4);
}
}

DialogTemplate LoadDialogTemplate(HMODULE module, int id)
{
    DialogTemplate dialog;
    DWORD size = 0;
    const BYTE *at = ResourceBytes(module, id, 5, &size);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF.
    if (!at || size < 26 || Read<WORD>(at) != 1 || Read<WORD>(at + 2) != 0xFFFF)
        return dialog;
    dialog.exStyle = Read<DWORD>(at + 8);
    dialog.style = Read<DWORD>(at + 12);
    const WORD count = Read<WORD>(at + 16);
    dialog.cx = Read<short>(at + 22);
    dialog.cy = Read<short>(at + 24);
    std::string menu, windowClass;
    const BYTE *next = ReadNameOrOrdinal(ReadNameOrOrdinal(at + 26, &menu), &windowClass);
    next = ReadNameOrOrdinal(next, &dialog.caption);
    if (dialog.style & DS_SETFONT)
    {
        // Point size, weight, italic and character set come before the face name.
        dialog.pointSize = Read<WORD>(next);
        next = ReadNameOrOrdinal(next + 6, &dialog.font);
    }
    for (WORD i = 0; i < count; ++i)
    {
        const BYTE *item = AlignDword(next);
        TemplateItem control = { Read<DWORD>(item + 4),  Read<DWORD>(item + 8),  Read<short>(item + 12),
                                 Read<short>(item + 14), Read<short>(item + 16), Read<short>(item + 18),
                                 static_cast<short>(Read<DWORD>(item + 20)), "", "" };
        next = ReadNameOrOrdinal(ReadNameOrOrdinal(item + 24, &control.className), &control.text);
        next += 2 + Read<WORD>(next);   // the creation data
        dialog.items.push_back(control);
    }
    return dialog;
}

std::vector<IconGroupEntry> IconGroupEntries(HMODULE module, int group)
{
    std::vector<IconGroupEntry> entries;
    const BYTE *directory = ResourceBytes(module, group, 14);
    if (!directory)
        return entries;
    // 6 bytes, then 14 an image: width, height, colours, reserved, planes, bits, bytes, id.
    const int count = Read<WORD>(directory + 4);
    for (int i = 0; i < count; ++i)
    {
        const BYTE *entry = directory + 6 + 14 * i;
        entries.push_back({ entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, Read<WORD>(entry + 6),
                            Read<WORD>(entry + 12) });
    }
    return entries;
}

bool ModuleVersion(HMODULE module, VS_FIXEDFILEINFO *fixed)
{
    DWORD size = 0;
    const BYTE *block = ResourceBytes(module, 1, 16, &size);
    // VS_FIXEDFILEINFO starts with its signature, on a 4-byte boundary inside the block.
    const DWORD signature = 0xFEEF04BD;
    for (DWORD i = 0; block && i + sizeof(*fixed) <= size; i += 4)
        if (memcmp(block + i, &signature, sizeof(signature)) == 0)
        {
            memcpy(fixed, block + i, sizeof(*fixed));
            return true;
        }
    return false;
}
