#pragma once
// The board's save-picture (32818) and load-picture (32841) commands. They
// have no button or menu item: a command message with their identifier
// reaches them through the board's message map.
class CBoardWnd;

// Saves the board's current picture to a BMP or JPEG file the user names.
void OnSavePicture(CBoardWnd& board);
// Loads a BMP or JPEG file, stretched over the board, as the board's new
// captured picture.
void OnLoadPicture(CBoardWnd& board);
// Adds both commands to the board's message map.
void InstallPictureCommands(CBoardWnd& board);
