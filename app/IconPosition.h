#pragma once
// Where a minimised window draws its icon.

#include <windows.h>

// The top-left corner that centres an icon of the given size in the client
// rectangle. An odd remainder puts the extra pixel on the left (above); the
// division truncates toward zero, also when the icon is larger than the room.
inline POINT CenteredIconPosition(const RECT& client, int iconWidth, int iconHeight) noexcept
{
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    return POINT{(width - iconWidth + 1) / 2, (height - iconHeight + 1) / 2};
}
