/* Resource numbers of the ball toy, shared by resources/zorbel.rc and the code. Plain macros:
   the resource compiler reads this file too. */
#pragma once

#define ZORBEL_DIALOG_BALL 101
#define ZORBEL_DIALOG_CONTROLLER 102
/* The nine animation frames are consecutive bitmaps. */
#define ZORBEL_BITMAP_FIRST_FRAME 103
#define ZORBEL_ICON_TRAY 113
#define ZORBEL_MENU_TRAY 114

#define ZORBEL_CMD_ADD_ONE 40001
#define ZORBEL_CMD_DELETE_ONE 40002
#define ZORBEL_CMD_COLLISION 40003
#define ZORBEL_CMD_EXIT 2
