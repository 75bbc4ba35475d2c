#include "app/button_faces.h"

#include "controls/button_ex1.h"

void ShowFaces(CButtonEx1& button, const ButtonFaces& faces) {
  button.SetBitmaps(faces.normal, faces.hover, faces.pressed);
  button.SetWindowText(faces.word);
}
