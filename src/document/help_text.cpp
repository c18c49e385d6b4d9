#include "document/help_text.h"

namespace modra {
namespace {

constexpr char kGeneralHelp[] = R"(MODRA

Modra builds, arranges and animates 3D polygon models and turns them into
images, movies and source code. The window holds a control panel on the
left, the 3D view on the right, the animation bar above them and the
status bar below.

THE SCENE

A scene is made of groups. A group holds polygons with their colour,
shine, texture and transform (translation, rotation, scale, and a centre
of rotation that can be moved and turned on its own). Groups can hold
other groups, so that a hand moves with its arm. The scene also has an
ambient light, eight lights, a camera and a background colour.

The current group is the one whose name the animation bar shows. Edits
apply at once to every selected group; there is no OK step. Groups that
are not selected draw as wire frames while anything is selected.

EDIT MODES

The Edit Mode menu chooses what a drag in the 3D view does. Each mode has
its own control panel, where the same values can be typed or slid.

  Selection         Left click picks a group; a click on the current group
                    when it has children enters it, so that the next
                    click picks among its children; a click on empty space
                    climbs back out one level. Right click adds a group to
                    the selection or takes a selected one away.
  Rotate View       Left drag turns the view about X and Y, right drag
                    about Z.
  Translate View    Left drag moves the view in X and Y, right drag in Z;
                    in the flat views Z zooms.
  Translate Object  Moves the selected groups: left drag in X and Y,
                    right drag in Z.
  Rotate Object     Turns the selected groups: left drag about X and Y,
                    right drag about Z.
  Translate Center  Moves the centre of rotation of the selected groups.
  Rotate Center     Turns the centre of rotation of the selected groups.
  Scale Object      Scales the selected groups: left drag in X and Y,
                    right drag in Z.
  Color             Sliders for the colour, the specular colour and the
                    shine of the selected groups.
  Create Objects    Buttons make a rectangle, block, cone, rounded cone,
                    tube, cylinder, torus, two kinds of sphere, 3D text,
                    a surface of revolution or an extrusion; a drag then
                    sizes the new object (left in X and Y, right in Z).
                    Surfaces of revolution and extrusions are drawn as
                    profiles in their own editor windows.
  Texture           Chooses a texture for the selected groups and how it
                    is mapped: planar, cylindrical, spherical or the
                    object's own mapping, with its rotation, translation
                    and scale. "Load Texture ..." in the list opens the
                    visual browser.
  Lights            Chooses a light and its type (off, directional,
                    positional or cone), colour, cone and attenuation.
                    Drags turn the light or move it, as the panel's
                    Rot / Pos switch says.
  Camera            Drags turn or move the camera, as the panel's Rot /
                    Pos switch says; in Look-At mode the camera keeps
                    aiming at the group set with "Set Look-At Group".

MOUSE BUTTONS AND MODIFIER KEYS

The left button edits X and Y, the right button Z (or the second choice of
the mode). Keys held when a button goes down reach five modes from any
mode, without leaving it:

  Ctrl               Selection
  Shift              Rotate View
  Shift+Z            Translate View
  Shift+Ctrl         Translate Object
  Shift+Ctrl+Z       Rotate Object

A panel's lock boxes hold an axis still only while the drag belongs to the
panel's own mode.

MENUS

File       New, Open and Append read a scene (.knf) or a model (.obj, .3ds,
           .cob, .dxf); Open replaces the scene, Append adds to it. Open
           names the document after the file, with the ending .knf, so
           that Save writes a scene beside the model instead of over it.
           Load Wavefront Material reads a .mtl library. Save and Save As
           write the native scene file; Save As leaves the document's
           name as it was. Save As Source writes the scene as C source
           for a small display program. Export to Wavefront writes .obj
           with its .mtl, Export to SkyLoom a .gfx scene text. Render
           Scene to File renders the current frame or the animation.
           New and Open ask before a scene with unsaved changes is
           erased, Exit before it is lost.
Edit       Cut, Copy and Paste move selected groups through the clipboard
           (a paste lands in the level being edited). Group puts the
           selected groups into a new group; Ungroup dissolves the current
           group into its parent, keeping every child where it is. Select
           All selects every group of the level being edited; Deselect All
           clears the selection and climbs back to the top level.
View       Shows or hides the tool bar and the status bar; Reset View puts
           the view back; Wire Frame, Solid and Textured choose how the
           scene is drawn; Show Normals and Hide Normals.
Animation  Cut, Copy and Paste the current key frame; Remove Key Frame Info
           drops every key of the selected groups, the camera or a light;
           Copy Key to Range copies their keys at the current frame to the
           key frames from A to B; Copy Keys in Range to Range copies the
           key frames A to B to the frames from C on; Strech/Squeeze moves
           the key frames A to B so that they span A to C; Edit Spline
           opens the curve editor.
Options    Set General Options: whether the light models, the camera model
           and a solid axis are drawn, whether imported parts without
           colours come in white, and the texture folders (separated by
           ";"). Reverse Normals flips the normals of the selected groups.
Edit Mode  The thirteen modes above.

ANIMATION

The animation runs from frame 0 to frame 9999. At frame 0 an edit changes
the scene. At any other frame an edit makes that frame a key frame, which
records the new value; between key frames the values follow smooth curves,
whose handles the spline editor changes. A group, a light or the camera
gets keys only for what has been changed on it.

The animation bar shows the current group's name (type a new one to rename
it) and has Prev Key and Next Key, which step to the key frame before or
after the current frame, Play, and Stop, which returns to frame 0. The
Frame box takes a frame number; "+" in it steps one frame forward, "-"
one frame back.

FILES

Reads:  scenes .knf; models Wavefront .obj with .mtl materials, 3D Studio
        .3ds, Truespace .cob (text and binary) and AutoCAD .dxf; profiles
        .ext (extrusions) and .surf (surfaces of revolution); textures in
        JPEG, BMP and binary PPM, searched in the texture folders.
Writes: scenes .knf; C source .cpp; Wavefront .obj with .mtl; SkyLoom
        .gfx; rendered frames as an MPEG-1 movie, an animated GIF or
        numbered JPEG, BMP or PPM images, with oversampling, motion blur,
        gamma and compositing over an existing movie.
)";

constexpr char kKeyboardHelp[] = R"(KEYBOARD SHORT CUTS

Ctrl+N     New scene
Ctrl+O     Open a scene or model
Ctrl+S     Save
Ctrl+X     Cut the selected groups
Ctrl+C     Copy the selected groups
Ctrl+V     Paste groups
Ctrl+A     Select all groups of the level being edited

Held while a mouse button goes down in the 3D view:
Ctrl               Selection (left picks, right adds or takes away)
Shift              Rotate View
Shift+Z            Translate View
Shift+Ctrl         Translate Object
Shift+Ctrl+Z       Rotate Object

In the Frame box of the animation bar:
+          one frame forward
-          one frame back
)";

}  // namespace

std::string_view GeneralHelpText() {
  return kGeneralHelp;
}

std::string_view KeyboardHelpText() {
  return kKeyboardHelp;
}

}  // namespace modra
