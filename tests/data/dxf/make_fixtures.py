#!/usr/bin/python3
"""Writes DXF drawings with ezdxf (R12, R2000, R2018) into a folder, each with a list of the
shapes the canvas import must make of it, in drawing order.

Usage: make_fixtures.py OUTDIR

The lists come from ezdxf reading its own files back, one line per shape:
  LINE layer x1 y1 x2 y2
  CIRCLE layer x y r
  ARC layer x0 y0 x1 y1             (first and last point)
  ELLIPSE layer closed x0 y0 x1 y1  (first and last point)
  POLY layer closed n x y ...
  POINT layer x y
  TEXT layer x y height text
Entities the import passes over (HATCH, 3DFACE, ...) are left out of the list; a block
reference lists the lines ezdxf itself places for it.
"""
import math
import os
import sys

import ezdxf


def build(version):
    doc = ezdxf.new(version)
    doc.layers.add("WALLS", color=1)
    doc.layers.add("DEPTH", color=5)
    doc.layers.add("MARKS", color=3)

    buoy = doc.blocks.new("BUOY", base_point=(1, 1))
    buoy.add_line((1, 1), (2, 1))
    buoy.add_circle((1, 1), 0.5)
    buoy.add_line((1, 1), (1, 3), dxfattribs={"color": 2})
    arrow = doc.blocks.new("ARROW")
    arrow.add_line((0, 0), (4, 0))
    arrow.add_line((4, 0), (3, 1))
    arrow.add_line((4, 0), (3, -1))
    arrow.add_text("tip")

    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "WALLS"})
    msp.add_line((0, 0), (0, 50), dxfattribs={"layer": "WALLS", "color": 4})
    msp.add_circle((25, 25), 5, dxfattribs={"layer": "MARKS"})
    msp.add_arc((50, 50), 10, 0, 90, dxfattribs={"layer": "MARKS"})
    msp.add_arc((50, 50), 12, 350, 10)
    msp.add_polyline2d([(0, 0), (10, 0), (10, 10), (0, 10)], close=True,
                       dxfattribs={"layer": "WALLS"})
    # Layer 0 right after the polyline's end marker.
    msp.add_line((5, 5), (6, 6))
    msp.add_polyline2d([(20, 0), (30, 5), (40, 0)], dxfattribs={"layer": "DEPTH"})
    msp.add_text("Depth 12.5", dxfattribs={"layer": "DEPTH", "height": 1.5,
                                             "rotation": 30, "insert": (60, 70)})
    msp.add_point((70, 80), dxfattribs={"layer": "MARKS"})
    msp.add_solid([(0, 100), (10, 100), (0, 110), (10, 110)], dxfattribs={"layer": "WALLS"})
    msp.add_trace([(20, 100), (30, 100), (25, 105), (25, 105)])
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 0)])
    msp.add_blockref("BUOY", (200, 200), dxfattribs={
        "layer": "DEPTH", "xscale": 2, "yscale": 3, "rotation": 90})
    msp.add_blockref("ARROW", (300, 100))
    msp.add_blockref("BUOY", (250, 250), dxfattribs={"color": 1})

    if version != "R12":
        msp.add_lwpolyline([(0, 200, 0, 0, 0.5), (10, 200), (10, 210)], format="xyseb",
                           close=True, dxfattribs={"layer": "WALLS"})
        msp.add_lwpolyline([(100, 200), (110, 200)])
        msp.add_ellipse((400, 400), major_axis=(20, 10), ratio=0.5,
                        dxfattribs={"layer": "MARKS"})
        msp.add_ellipse((450, 400), major_axis=(0, 8), ratio=0.25, start_param=0,
                        end_param=math.pi)
        msp.add_open_spline([(0, 300), (10, 320), (20, 280), (30, 300), (40, 310)],
                            dxfattribs={"layer": "DEPTH"})
        msp.add_mtext("\\H1.5x;Tall", dxfattribs={"char_height": 2.5, "insert": (5, 400)})
        hatch = msp.add_hatch(color=2)
        hatch.paths.add_polyline_path([(0, 500), (10, 500), (10, 510)], is_closed=True)
        # Layer 0 right after a record whose last value is 0.
        msp.add_line((0, 520), (10, 520))
        if version == "R2018":
            msp.add_mtext("Çalışma İskelesi", dxfattribs={"layer": "MARKS", "insert": (9, 9)})
    return doc


def fmt(*values):
    return " ".join(v if isinstance(v, str) else repr(float(v)) for v in values)


def listing(doc):
    out = []
    for e in doc.modelspace():
        t = e.dxftype()
        layer = e.dxf.layer
        if t == "LINE":
            out.append(fmt("LINE", layer, e.dxf.start.x, e.dxf.start.y, e.dxf.end.x, e.dxf.end.y))
        elif t == "CIRCLE":
            out.append(fmt("CIRCLE", layer, e.dxf.center.x, e.dxf.center.y, e.dxf.radius))
        elif t == "ARC":
            s, f = e.start_point, e.end_point
            out.append(fmt("ARC", layer, s.x, s.y, f.x, f.y))
        elif t == "ELLIPSE":
            s, f = e.start_point, e.end_point
            closed = abs(e.dxf.end_param - e.dxf.start_param) >= 2 * math.pi - 0.01
            out.append(fmt("ELLIPSE", layer, str(int(closed)), s.x, s.y, f.x, f.y))
        elif t in ("LWPOLYLINE", "POLYLINE", "SPLINE"):
            if t == "LWPOLYLINE":
                pts = [(p[0], p[1]) for p in e.get_points("xy")]
                closed = e.closed
            elif t == "POLYLINE":
                pts = [(v.x, v.y) for v in e.points()]
                closed = e.is_closed
            else:
                pts = [(p[0], p[1]) for p in e.control_points]
                closed = e.closed
            flat = [c for p in pts for c in p]
            out.append(fmt("POLY", layer, str(int(closed)), str(len(pts)), *flat))
        elif t in ("SOLID", "TRACE"):
            v = [e.dxf.get(f"vtx{i}") for i in range(4)]
            pts = [v[0], v[1], v[3]] + ([] if (v[2].x, v[2].y) == (v[3].x, v[3].y) else [v[2]])
            flat = [c for p in pts for c in (p.x, p.y)]
            out.append(fmt("POLY", layer, "1", str(len(pts)), *flat))
        elif t == "POINT":
            out.append(fmt("POINT", layer, e.dxf.location.x, e.dxf.location.y))
        elif t == "TEXT":
            out.append(fmt("TEXT", layer, e.dxf.insert.x, e.dxf.insert.y, e.dxf.height,
                           e.dxf.text))
        elif t == "MTEXT":
            out.append(fmt("TEXT", layer, e.dxf.insert.x, e.dxf.insert.y, e.dxf.char_height,
                           e.plain_text()))
        elif t == "INSERT":
            for v in e.virtual_entities():
                if v.dxftype() == "LINE":
                    out.append(fmt("LINE", layer, v.dxf.start.x, v.dxf.start.y, v.dxf.end.x,
                                   v.dxf.end.y))
    return out


def main():
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for version in ("R12", "R2000", "R2018"):
        path = os.path.join(outdir, version + ".dxf")
        build(version).saveas(path)
        back = ezdxf.readfile(path)
        with open(os.path.join(outdir, version + ".expected"), "w", encoding="utf-8") as f:
            f.write("\n".join(listing(back)) + "\n")


if __name__ == "__main__":
    main()
