// The gallery's deformation page: a row of letter-like shapes in both envelope kinds, around a
// circle, along an S-curve and a mitred polyline, bent both ways, and a stretched shape.
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>

#include "boolean/import_text.hpp"
#include "deform_tool.hpp"

namespace zopath {

namespace {

// Path text of a closed circle of four cubics (reversed: the other direction).
void circle(std::ostringstream& t, double cx, double cy, double r, bool reversed) {
  const double k = 0.5522847 * r, s = reversed ? -1 : 1;
  t << "13 1\n" << cx + r << ' ' << cy << " 6\n";
  const double q[4][6] = {{r, s * k, k, s * r, 0, s * r}, {-k, s * r, -r, s * k, -r, 0},
                          {-r, -s * k, -k, -s * r, 0, -s * r}, {k, -s * r, r, -s * k, r, 0}};
  for (int c = 0; c < 4; ++c)
    for (int n = 0; n < 3; ++n)
      t << cx + q[c][2 * n] << ' ' << cy + q[c][2 * n + 1] << ' ' << (c == 3 && n == 2 ? 5 : 4) << '\n';
}

// "OEO..." letters 40 pixels tall along x.
std::string letters() {
  std::ostringstream t;
  for (int i = 0; i < 5; ++i) {
    double x = i * 34.0;
    if (i % 2 == 0) {
      circle(t, x + 15, 20, 15, false);
      circle(t, x + 15, 20, 9, true);
    } else {
      const double e[12][2] = {{0, 0}, {24, 0}, {24, 6}, {6, 6}, {6, 17}, {20, 17},
                               {20, 23}, {6, 23}, {6, 34}, {24, 34}, {24, 40}, {0, 40}};
      t << "13 0\n";
      for (int k = 0; k < 12; ++k) t << x + e[k][0] << ' ' << e[k][1] << ' ' << (k == 0 ? 6 : 2) << '\n';
      t << x << " 0 3\n";
    }
  }
  return t.str();
}

ZoPath* parse(const std::string& text) { return zo::import_text::read_paths(text.data(), text.size()); }

bool picture(const std::string& dir, const std::string& name, ZoPath* guide, ZoPathWrapInfo* w,
             const Ptfx* frame, int frameKind, std::string* error) {
  std::string text = letters();
  ZoPath* head = parse(text);
  ZoPath* before = parse(text);
  ZoPath* box = nullptr;
  bool ok = head != nullptr && before != nullptr;
  if (ok && w != nullptr) {
    w->baseline = guide;
    ok = ZoPathWrap(&head, w) == 1;
  } else if (ok) {
    RectDB r;
    ZoPathGetDoubleRectNoMargin(head, &r, 0);
    box = rectangle_path(r.left, r.top, r.right, r.bottom);
    for (ZoPath* p = head; p != nullptr; p = p->next)
      if (p->joinPrev == nullptr)
        (frameKind == 0 ? ZoPathDomainRangeBilinear : frameKind == 1 ? ZoPathDomainRangeBiCubic : ZoPathDomainRangeBiCubicV)(
            p, &r, nullptr, const_cast<Ptfx*>(frame));
    Ptfx* f = const_cast<Ptfx*>(frame);
    guide = nullptr;
    ZoPath* tmp = ZoPathCreate();
    (frameKind == 0 ? ZoPathAddBiLinearEnvelope : frameKind == 1 ? ZoPathAddBiBezierEnvelope : ZoPathAddBiBezierEnvelopeV)(tmp, f);
    guide = tmp->next;
    tmp->next = nullptr;
    if (guide != nullptr) guide->prev = nullptr;
    release_paths(tmp);
  }
  if (!ok) *error = "the " + name + " example failed";
  ok = ok && write_deform_png((std::filesystem::path(dir) / (name + ".png")).string(), before,
                              box != nullptr ? box : guide, head, guide, error);
  if (box != nullptr) release_paths(guide);
  release_paths(box);
  release_paths(head);
  release_paths(before);
  return ok;
}

Ptfx at(double x, double y) { return Ptfx{DbToFix(x), DbToFix(y)}; }

}  // namespace

bool write_deform_gallery(const std::string& dir, std::string* html, std::string* error) {
  std::ostringstream out;
  out << "<h2>Deformation</h2>\n<p>Before (grey, with the box or baseline in red) and after "
         "(blue, with the frame or baseline in red), side by side; the commands are "
         "<code>zopath envelope</code>, <code>wrap</code>, <code>bend</code> and "
         "<code>stretch</code>.</p>\n<table>\n";
  auto row = [&](const std::string& name, const std::string& caption) {
    out << "<tr><td><img src=\"" << name << ".png\"></td><td>" << caption << "</td></tr>\n";
  };
  const Ptfx quad[4] = {at(-10, -20), at(170, 10), at(10, 50), at(150, 40)};
  const Ptfx arch[8] = {at(0, 0), at(50, -50), at(110, -50), at(164, 0),
                        at(0, 40), at(50, 20), at(110, 20), at(164, 40)};
  const Ptfx bulge[8] = {at(0, 0), at(-30, 13), at(-30, 27), at(0, 40),
                         at(164, 0), at(194, 13), at(194, 27), at(164, 40)};
  if (!picture(dir, "deform_bilinear", nullptr, nullptr, quad, 0, error)) return false;
  row("deform_bilinear", "bilinear envelope");
  if (!picture(dir, "deform_bezier", nullptr, nullptr, arch, 1, error)) return false;
  row("deform_bezier", "horizontal bi-Bezier envelope");
  if (!picture(dir, "deform_bezier_v", nullptr, nullptr, bulge, 2, error)) return false;
  row("deform_bezier_v", "vertical bi-Bezier envelope");
  struct Wrap {
    const char* name;
    const char* caption;
    std::string baseline;
    uint32_t corners;
    int32_t bend;
  } wraps[] = {
      {"deform_circle", "around a circle (follow normal)", [] {
         std::ostringstream t;
         circle(t, 150, 150, 90, false);
         return t.str();
       }(), 0, 0},
      {"deform_scurve", "along an S-curve of cubics", "7 0\n0 100 6\n60 0 4\n120 0 4\n180 100 4\n240 200 4\n300 200 4\n360 100 4\n", 0, 0},
      {"deform_polyline", "along a polyline, corners not mitred", "4 0\n0 100 6\n100 40 2\n200 100 2\n300 40 2\n", 0, 0},
      {"deform_mitred", "along the same polyline with mitred corners", "4 0\n0 100 6\n100 40 2\n200 100 2\n300 40 2\n", 1, 0},
      {"deform_bend_up", "bent by 40", "", 0, 40},
      {"deform_bend_down", "bent by -40", "", 0, -40},
  };
  for (const Wrap& c : wraps) {
    ZoPath* base = c.baseline.empty() ? nullptr : parse(c.baseline);
    ZoPathWrapInfo w{};
    w.deform = w.followNormal = 1;
    w.startHeight = w.endHeight = 100;
    w.cornerMode = c.corners;
    w.bend = c.bend;
    w.start = c.bend == 0 && c.corners == 0 && c.baseline.size() > 100 ? 0.55 : 0.05;
    bool ok = picture(dir, c.name, base, &w, nullptr, 0, error);
    release_paths(base);
    if (!ok) return false;
    row(c.name, c.caption);
  }
  ZoPath* shape = parse(letters());
  ZoPath* stretched = nullptr;
  double a = 40, b = 90, c = 40, d = 180;
  bool ok = shape != nullptr && ZoPathStretch(shape, &stretched, &a, &b, &c, &d, 1) == 1;
  ZoPath* from = rectangle_path(45, -4, 95, 44);
  ZoPath* to = rectangle_path(45, -4, 185, 44);
  ok = ok && write_deform_png((std::filesystem::path(dir) / "deform_stretch.png").string(), shape, from,
                              stretched, to, error);
  for (ZoPath* p : {shape, stretched, from, to}) release_paths(p);
  if (!ok) return false;
  row("deform_stretch", "stretch of the band 45..95 onto 45..185 (smooth joints kept)");
  out << "</table>\n";
  *html += out.str();
  return true;
}

}  // namespace zopath
