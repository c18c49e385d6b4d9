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
are not selected draw as wire frames while anything is selected. Undo
takes back any change to the scene.

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
                    a surface of revolution or an extrusion; the fields
                    and a drag then size the new object (left in X and Y,
                    right in Z), and Edit Resolution sets how finely it is
                    divided. A new surface of revolution or extrusion
                    opens its profile editor, where the profile is drawn
                    and the object rebuilt as it changes; Edit Geometry
                    opens the editor on the current one again (its own
                    Help menu tells how it is used).
  Texture           Chooses a texture for the selected groups and how it
                    is mapped: planar, cylindrical, spherical or the
                    object's own mapping, with its rotation, translation
                    and scale. "Load Texture ...", the last entry of the
                    list, opens the Visual Browser in the folder the last
                    texture came from: click a folder to open it, a
                    picture to choose it, then OK, and the image it loads
                    goes to the selected groups.
  Lights            Chooses a light and its type (off, directional,
                    positional or cone), colour, cone and attenuation;
                    the "Background" entry sets the background colour.
                    Drags turn the light or move it, as the panel's
                    Rot / Pos switch says.
  Camera            Drags turn or move the camera, as the panel's Rot /
                    Pos switch says; in Look-At mode the camera keeps
                    aiming at the group set with "Set Look-At Group".

MOUSE BUTTONS AND MODIFIER KEYS

The left button edits X and Y, the right button Z (or the second choice of
the mode). In Rotate View a drag let go while the mouse still moves keeps
the view spinning until the next click. Keys held when a button goes down
reach five modes from any mode, without leaving it:

  Ctrl, Ctrl+Z       Selection
  Shift              Rotate View
  Shift+Z            Translate View
  Shift+Ctrl         Translate Object
  Shift+Ctrl+Z       Rotate Object

A panel's lock boxes hold an axis still only while the drag belongs to the
panel's own mode.

MENUS

File       New, Open and Append read a scene (.knf) or a model (.obj, .3ds,
           .cob, .dxf, and through assimp .ply, .stl, .fbx, .dae and
           more); Open replaces the scene, Append adds to it. Open
           names the document after the file, with the ending .knf, so
           that Save writes a scene beside the model instead of over it;
           the first Save asks before it replaces a file of that name.
           Load Wavefront Material reads a .mtl library. Save writes the
           native scene file. Save As writes it under a new name, which
           becomes the document's name: the title shows it, and the next
           Save goes there. A save that fails says why and keeps the
           scene marked as unsaved. Save As Source writes the scene as C
           source for a small display program. Export to Wavefront writes
           .obj with its .mtl, Export to STL the triangles shown as binary
           .stl, Export to SkyLoom a .gfx scene text, Export to glTF a
           .glb (or .gltf) with its hierarchy, materials, textures,
           camera, lights and animation for other tools. Render
           Scene to File renders the current frame or the animation. The
           last four files opened are listed above Exit, and a file
           dropped on the window opens. New, Open and Exit ask before a
           scene with unsaved changes is erased or lost.
Edit       Undo takes back the last change to the scene and Redo makes it
           again; the menu names the step. A step is one command, one
           value typed into a field, one slider drag or one drag in the
           3D view; choosing, viewing and the frame shown are no steps.
           Cut, Copy and Paste move selected groups through the clipboard
           (a paste lands in the level being edited). Group puts the
           selected groups into a new group; Ungroup dissolves the current
           group into its parent, keeping every child where it is. Select
           All selects every group of the level being edited; Deselect All
           clears the selection and climbs back to the top level.
View       Shows or hides the tool bar and the status bar; Reset View puts
           the view back; Wire Frame, Solid and Textured choose how the
           scene is drawn; Show Normals and Hide Normals.
Animation  Cut Current Key Frame and Copy Current Key Frame put the keys of
           the current frame on the key frame clipboard (a cut takes them
           away, except at frame 0 while other key frames remain); Paste
           Key Frame puts them at the current frame, asking first when it
           has keys of its own. Remove Key Frame Info drops every key of
           the selected groups, the camera or a light; Copy Key to Range
           copies their keys at the current frame to the key frames from
           A to B; Copy Keys in Range to Range copies the key frames A to
           B to the frames from C on; Strech/Squeeze Key Frame moves the
           key frames A to B so that they span A to C. Edit Spline ...
           opens the Animation Spline Editor: the curves of one owner's
           translation, rotation, scale or colour over its key frames;
           drag a value point or a handle up or down (Ctrl or Shift adds
           to the selection) while the status bar shows its frame and
           value; Home fits the view to every point, F to the selected
           ones; and Done writes the curves into the keys.
Options    Set General Options: whether the light models, the camera model
           and a solid axis are drawn, whether imported parts without
           colours come in white, the texture folders (separated by ";")
           and the memory the undo history may use. Reverse Normals flips
           the normals of the selected groups.
Edit Mode  Selection, Rotate View, Translate View, Translate Object, Rotate
           Object, Translate Center, Rotate Center, Color, Create Objects,
           Texture, Scale Object, Lights and Camera: the modes above.
Help       About modra shows the version; General Help is this text, and
           Keyboard Short Cuts lists the keys.

ANIMATION

The animation runs from frame 0 to frame 9999. At frame 0 an edit changes
the scene. At any other frame an edit makes that frame a key frame, which
records the new value; between key frames the values follow smooth curves
through the keys. A group, a light or the camera gets keys only for what
has been changed on it.

The animation bar shows the current group's name (type a new one to rename
it) and has Prev Key and Next Key, which step to the key frame before or
after the current frame, Play, which shows 30 frames a second whatever
the speed of the machine, and Stop, which returns to frame 0. The Frame
box takes a frame number; "+" in it steps one frame forward, "-" one
frame back.

FILES

Reads:  scenes .knf; models Wavefront .obj with .mtl materials, 3D Studio
        .3ds, Truespace .cob (text and binary), AutoCAD .dxf, glTF 2.0
        .gltf and .glb, and through the assimp library PLY, STL, FBX,
        Collada .dae and other exchange formats; textures
        in JPEG, BMP and binary PPM, searched in the texture folders.
        The command line (modra dump, modra convert) also reads the
        profiles .ext (extrusions) and .surf (surfaces of revolution).
Writes: scenes .knf; C source .cpp; Wavefront .obj with .mtl; SkyLoom
        .gfx; glTF 2.0 .glb and .gltf; binary STL .stl; rendered frames as an MPEG-1 movie, an animated GIF or
        numbered JPEG, BMP or PPM images, with oversampling, motion blur,
        gamma and compositing over an existing movie.

Numbers are read and written with a decimal point ("0.5") whatever the
language the computer is set to.
)";

constexpr char kKeyboardHelp[] = R"(KEYBOARD SHORT CUTS

Ctrl+N             New scene
Ctrl+O             Open a scene or model
Ctrl+S             Save
Ctrl+Q             Exit
Ctrl+Z             Undo the last change
Ctrl+Shift+Z       Redo the change undone
Ctrl+Y             Redo the change undone
Ctrl+X             Cut the selected groups
Ctrl+C             Copy the selected groups
Ctrl+V             Paste groups
Ctrl+A             Select all groups of the level being edited

Over the 3D view Ctrl+Z and Ctrl+Shift+Z undo and redo when the keys are
let go, unless a mouse button went down meanwhile: then they choose the
mode of that click, as below.

Held while a mouse button goes down in the 3D view:
Ctrl, Ctrl+Z       Selection (left picks, right adds or takes away)
Shift              Rotate View
Shift+Z            Translate View
Shift+Ctrl         Translate Object
Shift+Ctrl+Z       Rotate Object

In the Frame box of the animation bar:
+                  one frame forward
-                  one frame back

Over the curves of the Animation Spline Editor:
Home               Zoom View to Fit: every point in view
F                  fit the view to the selected points
)";

}  // namespace

std::string_view GeneralHelpText() {
  return kGeneralHelp;
}

std::string_view KeyboardHelpText() {
  return kKeyboardHelp;
}

}  // namespace modra
