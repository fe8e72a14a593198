// The markup the main dialog shows, as code page 936 text.
#pragma once

#include <string>

// The information panel.
inline constexpr char kInfoMarkup[] =
    "<StackPanel><StackPanel Orientation='Horizontal'><Image Source='res://info.png' Width='24' Height='24' "
    "VerticalAlignment='Center'/><TextBlock FontSize='16' FontWeight='Bold' VerticalAlignment='Center' "
    "Padding='5,0,0,0'>"
    "\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7" // 使用说明
    "</TextBlock></StackPanel><StackPanel><TextBlock FontSize='14' VerticalAlignment='Center' MaxWidth='485' "
    "TextWrapping='Wrap' Padding='5,10,0,0'>"
    // 本工具是通过互联网进行自动校时，所以您必须首先确保已连接互联网才能使用校时功能！
    "\xb1\xbe\xb9\xa4\xbe\xdf\xca\xc7\xcd\xa8\xb9\xfd\xbb\xa5\xc1\xaa\xcd\xf8\xbd\xf8\xd0\xd0\xd7\xd4\xb6\xaf"
    "\xd0\xa3\xca\xb1\xa3\xac\xcb\xf9\xd2\xd4\xc4\xfa\xb1\xd8\xd0\xeb\xca\xd7\xcf\xc8\xc8\xb7\xb1\xa3\xd2\xd1"
    "\xc1\xac\xbd\xd3\xbb\xa5\xc1\xaa\xcd\xf8\xb2\xc5\xc4\xdc\xca\xb9\xd3\xc3\xd0\xa3\xca\xb1\xb9\xa6\xc4\xdc"
    "\xa3\xa1"
    "</TextBlock></StackPanel></StackPanel>";

// The result panel; "%s" receives a result message of the controller. The
// text takes the width beside the picture and wraps in it, so that a long
// result shows whole on more lines.
inline constexpr char kResultPanelMarkup[] =
    "<Grid><Grid.ColumnDefinitions><ColumnDefinition Width='Auto'/><ColumnDefinition Width='*'/>"
    "</Grid.ColumnDefinitions><Image Source='res://clock.png' Width='24' Height='24' "
    "VerticalAlignment='Center'/><TextBlock Grid.Column='1' FontSize='14' VerticalAlignment='Center' "
    "TextWrapping='Wrap' Padding='5,0,0,0'>%s</TextBlock></Grid>";

// The result panel showing pszMessage. Put in by hand, not by a format call:
// the message is markup and may hold a '%' of its own.
inline std::string ResultPanelMarkup(const char* pszMessage)
{
    std::string strMarkup(kResultPanelMarkup);
    strMarkup.replace(strMarkup.find("%s"), 2, pszMessage);
    return strMarkup;
}

// The face of the synchronisation button.
inline constexpr char kButtonFaceMarkup[] =
    "<StackPanel><Image Source='res://sync.png' Width='32' Height='32' /><TextBlock FontSize='18' "
    "FontWeight='Bold' Padding='0,10,0,0'>"
    "\xc1\xa2\xbc\xb4\xd0\xa3\xca\xb1" // 立即校时
    "</TextBlock></StackPanel>";
