#pragma once

#include <string>

#include "app/button_faces.h"
#include "framework/basic_controls.h"

// An owner-drawn button that paints a flat face with its state's word, standing in for the
// bitmap button of the skin.
class CWordFaceButton : public CButton {
 public:
  void SetFaces(const ButtonFaces& faces);
  void DrawItem(DRAWITEMSTRUCT* item) override;

 private:
  std::string m_strWord;
};
