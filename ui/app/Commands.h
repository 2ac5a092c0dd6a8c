#pragma once

#include <QString>

// The commands of the main menu and its accelerators. A command is enabled only while an object
// in the command route handles it: the active map window's tool panel first, then the
// application.
enum class CommandId {
    // handled by the application
    FileNew,
    About,
    Exit,
    // map commands, handled by the tool panel of the active map window
    NewMap,
    ResizeMap,
    LoadMap,
    SaveMap,
    ImportHeightBmp,
    ImportHeightRaw,
    ImportHeightPng,
    ExportT3d,
    ExportHeightGroup,
    ExportHeightRaw,
    ExportHeightPng,
    ExportGltf,
    ProjectSettings,
    Undo,
    Zoom1,
    Zoom2,
    Zoom4,
    Zoom8,
    Zoom16,
    Zoom32,
    ZoomIn,
    ZoomOut,
    ScrollHome,
    Redo,
};

// Something in the command route: it says which commands it handles and carries them out.
class CCommandTarget {
public:
    virtual ~CCommandTarget() = default;
    virtual bool HandlesCommand(CommandId id) const = 0;
    virtual void OnCommand(CommandId id) = 0;
    // The state of a handled command's menu item: whether it can run now, and a text that
    // replaces the item's own (empty: keep it).
    virtual bool CommandEnabled(CommandId) const { return true; }
    virtual QString CommandText(CommandId) const { return {}; }
};
