// Names of the message-table entries: the program cites every message by one of these ids. The
// number after each id is its index; a language file keys the text as "r" followed by index + 1.
#pragma once

#include "lang/builtin_messages.h"

namespace vorn::lang::msg {

// Ids run 0, 1, 2, ... in the order of the table; a new text is appended before kCount.
// Some texts are read as runs (id + offset): object kinds, picking prompts, entry errors and the
// parallelepiped labels; keep those runs together and in order.
enum Id : int {
    kProcessingFaces,           //   0 Processing the faces of object "%s"...
    kFacesOfObject,             //   1 Faces of object "%s"
    kFaceVertices,              //   2 Face %s: vertices: (
    kNoSurfaceObject,           //   3 No object of kind "Surface" has been created
    kTooFewRegionPoints,        //   4 Not enough points in the region for the computation.
    kComputationNotFinished,    //   5
    kBadValueOrExpression,      //   6
    kCalcDrawPolyline,          //   7 Graphic entry of a polyline: (calculator)
    kCalcDrawPolygon,           //   8 Graphic entry of a polygon: (calculator)
    kNotApplicable,             //   9 The operation cannot be applied to the current object.
    kComputingIntegral,         //  10
    kComputingRevolutionArea,   //  11
    kComputingRevolutionVolume, //  12
    kComputingContourIntegral,  //  13
    kBadNumberOrExpression,     //  14
    kBadParameter,              //  15
    kFrom,                      //  16
    kTo,                        //  17
    kAskStopComputation,        //  18
    kRemovingExtraLines,        //  19 ... between the faces of object "%s"
    kComputingVolume,           //  20 ... of object "%s"
    kFormingObject,             //  21 Forming object "%s"...
    kRemovingExtraVertices,     //  22
    kNotConvex,                 //  23 Polyhedron "%s" is not convex.
    kSectionArea,               //  24 %s
    kSectionPerimeter,          //  25 %s
    kAskSectionPolyline,        //  26 Create a polyline along the contour of the section?
    kSectionName,               //  27 Section of object "%s"
    kPlaneMissesObject,         //  28 The plane does not cut object "%s"
    kAskSectionParts,           //  29 Create objects for the parts in the two half-spaces?
    kBuildingPicture,           //  30 Building the picture "%s"
    kEdgeLength,                //  31
    kUnknown,                   //  32
    // Parallelepiped base labels, three for each way of giving the base.
    kParBySidesSide1,         //  33 two sides and the angle between them
    kParBySidesSide2,         //  34
    kParBySidesAngle,         //  35
    kParByAreaSide,           //  36 a side, an adjacent angle and the area
    kParByAreaAngle,          //  37
    kParByAreaArea,           //  38
    kParByHeightSide,         //  39 a side, an adjacent angle and the height to it
    kParByHeightAngle,        //  40
    kParByHeightHeight,       //  41
    kParByDiagonalsDiagonal1, //  42 two diagonals and the angle between them
    kParByDiagonalsDiagonal2, //  43
    kParByDiagonalsAngle,     //  44
    // Entry errors: kNoEntryError + an entry error code (1..10).
    kNoEntryError,           //  45 (empty)
    kBadSymbol,              //  46 Invalid character in the expression.
    kMalformedNumber,        //  47
    kBadAnalyticExpression,  //  48 Malformed number or analytical expression.
    kBadData,                //  49
    kBadFaces,               //  50
    kNotClosed,              //  51 The object is not closed.
    kBadRegion,              //  52
    kMissingParameter,       //  53
    kFaceNotConvex,          //  54
    kTooFewPolylineVertices, //  55
    kGonSuffix,              //  56 -gon
    kPointAndVectors,        //  57 Point and direction vectors:
    kPoints,                 //  58 Points:
    kCannotFormPolyhedron,   //  59 ... from the given points.
    kEntryDrawPolygon,       //  60 Graphic entry of a polygon: (object entry)
    kEntryDrawPolyline,      //  61 Graphic entry of a polyline: (object entry)
    // Object kinds: kKindAxes + core::ObjectType.
    kKindAxes,       //  62
    kKindPoint,      //  63
    kKindPolyline,   //  64
    kKindPlane,      //  65
    kKindPolyhedron, //  66
    kKindSurface,    //  67
    kKindRevolution, //  68
    // Picking prompts: kNoPrompt + a prompt number (1..10).
    kNoPrompt,                  //  69 (empty)
    kPickPoint,                 //  70
    kPickFirstPoint,            //  71
    kPickSecondPoint,           //  72
    kPickThirdPoint,            //  73
    kPickLine,                  //  74
    kPickFirstLine,             //  75
    kPickSecondLine,            //  76
    kPickPlane,                 //  77
    kPickFirstPlane,            //  78
    kPickSecondPlane,           //  79
    kNeedObjectOfKind,          //  80 Please pick an object of kind
    kOperationNotFinished,      //  81
    kSelectObjectFirst,         //  82
    kSavingObject,              //  83 Saving object "
    kLoadingObject,             //  84 Loading object "
    kLoadedObject,              //  85 Loaded object "
    kObjectNotClosed,           //  86 Object %s is not closed.
    kNoObjectsInFile,           //  87 File %s holds no VORN-3D objects.
    kAskDeleteObject,           //  88 Delete object "
    kDeletedObject,             //  89 Deleted object "
    kRefiningRegion,            //  90 (%sx%s points)
    kComputingDoubleIntegral,   //  91
    kAskCreatePoint,            //  92
    kCreatedObject,             //  93 Created object "
    kTooFewSurfacePoints,       //  94
    kVolumeInfinite,            //  95
    kAreaInfinite,              //  96
    kVertexCount,               //  97
    kLength,                    //  98 Length: %s units
    kEnclosedArea,              //  99 Encloses the area: %s sq. units
    kEquation,                  // 100
    kTriangleCount,             // 101
    kVolume,                    // 102 Volume: %s cu. units
    kSurfaceArea,               // 103 Surface area: %s sq. units
    kAskDiscardObjects,         // 104 ... all current objects will be lost. Continue?
    kSectionHeading,            // 105
    kPickSectionPlane,          // 106
    kScreenCreateHeading,       // 107
    kPlacePolylineVertices,     // 108
    kPlacePlanePoints,          // 109
    kDragObject,                // 110
    kFunctionValueHeading,      // 111 Value of function "%s" at a point.
    kFunctionValueTitle,        // 112
    kEnterCoordinate,           // 113 Enter the %s coordinate of the point:
    kPointOnSurface,            // 114 Point on surface "%s"
    kOutsideDomain,             // 115 The point %s does not belong to the domain ...
    kFixedPoint,                // 116
    kFixedLine,                 // 117
    kNeedPolylineOrSegment,     // 118 "Polyline" or segment.
    kFixedPlane,                // 119
    kNeedPlane,                 // 120 "Plane"
    kAngle,                     // 121
    kAngleLinePlane,            // 122
    kAnglePlanes,               // 123
    kDistancePoints,            // 124
    kDistancePointLine,         // 125
    kDistancePointPlane,        // 126
    kDeviationPointPlane,       // 127
    kDistanceLines,             // 128
    kLinesMeetAt,               // 129
    kLinesIntersectionName,     // 130
    kBadLines,                  // 131
    kLinePlaneIntersectionName, // 132
    kDistanceLinePlane,         // 133
    kPickPolyhedronToCut,       // 134
    kFixedSectionPlane,         // 135 Fixed section plane "
    kFixedPolyhedron,           // 136 Fixed polyhedron "
    kNeedPolyhedron,            // 137 "Polyhedron"
    kObjectDistorted,           // 138
    kAskSaveObjects,            // 139 Save the objects in the file
    kHelpNotLoaded,             // 140
    kHalftoneReturnHint,        // 141
    // Texts after the fixed table.
    kWriteFailed,        // 142 Could not write the file %s.
    kNoOpenGL,           // 143
    kNotRebuilt,         // 144 Could not rebuild from the stored definition: %s. ...
    kTotalSurfaceArea,   // 145 Total surface area: %s sq. units
    kUndoCaption,        // 146 Undo
    kRedoCaption,        // 147 Redo
    kUndoHint,           // 148 Undo the last change of the objects
    kRedoHint,           // 149 Redo the undone change of the objects
    kStepCreate,         // 150 creation of the object "%s"
    kStepEdit,           // 151 change of the object "%s"
    kStepDelete,         // 152 deletion of the object "%s"
    kStepTransform,      // 153 transformation of the object "%s"
    kStepSection,        // 154 section of the object "%s"
    kStepAddFromFile,    // 155 adding from a file
    kStepVisibility,     // 156 showing/hiding objects
    kStepNew,            // 157 New
    kAskAddDroppedFiles, // 158 Add the objects of the dropped files (%s) to the scene?
    kOfferRecovery,      // 159 An autosaved copy of the scene %s from %s (objects: %s): restore it?
    kNetNotUnfoldable,   // 160 A net is made only of a convex polyhedron, a cylinder or a cone
    kNetReport,          // 161 Net of the object "%s": faces %s, area %s.
    kNetGood,            // 162 The net has no overlaps.
    kNetOverlaps,        // 163 Faces of the net overlap: %s.
    kNetTwoPieces,       // 164 The net is in two pieces: click a cut edge between them
    kNetWouldDisconnect, // 165 Refused: the net is already in two pieces
    kNetWouldCloseCycle, // 166 Refused: the faces of this cut edge are already joined
    kNetDevelopmentReport, // 167 Development of "%s": lateral area %s, bases %s, total %s.
    kNetRoundFixed,        // 168 The development of a round solid has no edges to cut
    kFacesFromHull,        // 169 The faces come from the extended-precision hull
    kContourExists,        // 170 The section's polyline already exists: object "%s"
    kAskSaveChanges,       // 171 Save the changes?
    kButtonSave,           // 172 Save (the button of the question 171)
    kButtonDiscard,        // 173 Discard (the button of the question 171)
    kHelpNotOpened,        // 174 The help %s could not be opened, by the desktop or here
    kCount
};

// The runs read by offset start where their users expect them.
static_assert(kKindAxes == 62 && kNoPrompt == 69 && kNoEntryError == 45);
static_assert(kParBySidesSide1 == 33 && kTooFewPolylineVertices == kNoEntryError + 10);
static_assert(kWriteFailed == kMessageCount);
// Every text of the table has an id, and no id lies past it.
static_assert(kCount == kAllMessageCount);

} // namespace vorn::lang::msg
