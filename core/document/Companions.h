#pragma once

struct Picture;

// The document keeps the addresses of two modeless windows that belong to the ui. These
// interfaces are what the document needs of them; the ui windows implement them.

class CGradientLink {
public:
    virtual ~CGradientLink() = default;
    virtual bool IsOpen() const = 0;        // 0 once the user has closed the dialog
    virtual int Direction() const = 0;      // the dialog's current radio choice
    virtual void DestroyWindow() = 0;       // destroys and releases the dialog
};

class CMiniMapLink {
public:
    virtual ~CMiniMapLink() = default;
    virtual bool IsAlive() const = 0;       // 0 once the user has closed the window
    virtual void SetPictureSize(int width, int height) = 0;
    virtual void BuildPicture() = 0;        // recreates the (black) overview picture
    virtual void Repaint() = 0;
    virtual void DestroyWindow() = 0;       // destroys and releases the window
    // The overview picture, one pixel per cell, that the map view keeps current.
    virtual Picture* Overview() = 0;
    // Takes a pending request to show cell (x, y) at the map view's top left, if any.
    virtual bool TakeJumpRequest(int& x, int& y) = 0;
};
