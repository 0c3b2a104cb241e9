# SPDX-License-Identifier: GPL-3.0-or-later
"""Rules of the catalogue converter, and that data/stations.csv is what it makes."""
import base64
import csv
import json
import os
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import make_catalogue as mc  # noqa: E402


def jwt_url(exp):
    payload = base64.urlsafe_b64encode(json.dumps({"exp": exp}).encode()).decode().rstrip("=")
    return "https://stream.example/s?zt=eyJhbGciOiJIUzI1NiJ9.%s.sig" % payload


class GenreRules(unittest.TestCase):
    def test_first_tag_that_names_a_genre_wins(self):
        self.assertEqual(mc.genre_of_tags(["Hits", "Pop"]), ("流行乐", 1))
        self.assertEqual(mc.genre_of_tags(["english", "News", "Talk"]), ("新闻", 1))
        self.assertEqual(mc.genre_of_tags(["talk", "news"]), ("谈话节目", 0))
        self.assertEqual(mc.genre_of_tags(["npr", "public", "bbc"]), ("综合", None))
        self.assertEqual(mc.genre_of_tags([]), ("综合", None))

    def test_decades_compounds_and_spellings(self):
        for tag, genre in [("60s", "60后"), ("1970s", "70后"), ("80's", "80后"), ("90er", "90后"),
                           ("Classic Rock", "经典打击乐"), ("progressive metal", "金属乐"),
                           ("R’n’B", "R&B"), ("Top 40", "TOP 40"), ("drum'n'bass", "丛林音乐"),
                           ("buddhist", "佛教"), ("weather", "天气"), ("comedy", "喜剧频道"),
                           ("news/talk", "新闻"), ("  Deep   House ", "House")]:
            self.assertEqual(mc.genre_of_tag(tag), genre, tag)
        self.assertIsNone(mc.genre_of_tag("2000s"))
        self.assertIsNone(mc.genre_of_tag("hits"))

    def test_every_rule_names_a_tree_genre(self):
        self.assertEqual(len(mc.GENRES), 57)
        targets = set(mc.TAG_TO_GENRE.values()) | {g for _, g in mc.KEYWORD_RULES}
        self.assertLessEqual(targets, set(mc.GENRES))


class StationFacts(unittest.TestCase):
    def test_bitrate_labels_from_name_or_address(self):
        self.assertEqual(mc.bitrate_label("Jazz @ 192Kbps", "http://a/b"), "192kbps")
        self.assertEqual(mc.bitrate_label("X", "http://a/live/20211656/64k.mp3"), "64kbps")
        self.assertEqual(mc.bitrate_label("X", "http://a/stream_128"), "128kbps")
        self.assertEqual(mc.bitrate_label("X", "http://a/aac/96/stream.aac"), "96kbps")
        self.assertEqual(mc.bitrate_label("Radio 101", "http://101.79.1.2:8000/live"), "")
        self.assertEqual(mc.bitrate_label("X", "http://a/stream_1234"), "")

    def test_countries_follow_the_search_list(self):
        self.assertEqual(len(set(mc.LISTED_COUNTRIES.values())), 173)
        self.assertEqual(mc.COUNTRY_NAMES["HK"], "香港")
        self.assertEqual(mc.COUNTRY_NAMES["GE"], "格鲁吉亚")
        self.assertEqual(mc.COUNTRY_NAMES["MT"], "马其他")
        self.assertEqual(mc.COUNTRY_NAMES["NG"], "尼日利亚")
        self.assertFalse(set(mc.LISTED_COUNTRIES) & set(mc.OTHER_COUNTRIES))

    def test_only_playable_addresses(self):
        self.assertEqual(mc.clean_url(" HTTP://A/B "), "http://A/B")
        self.assertTrue(mc.playable("http://a:8000/;stream/1"))
        self.assertTrue(mc.playable("https://a/list.m3u8"))
        self.assertFalse(mc.playable("rtmp://a/b"))
        self.assertFalse(mc.playable("http://a/" + "x" * 300))
        self.assertFalse(mc.playable(jwt_url(1745299996)))  # expired in 2025
        self.assertTrue(mc.playable(jwt_url(4102444800)))   # 2100


class Selection(unittest.TestCase):
    def record(self, name, url, tags="", code="US", source="iprd", order=0, rate=""):
        return (source, code, name, url, mc.split_tags(tags), order, rate)

    def test_duplicates_quick_names_and_supplement(self):
        records = [
            self.record("A", "http://a/1", "rock", order=1),
            self.record("A", "http://a/1", "rock", order=2),           # exact duplicate
            self.record("A", "http://a/2", "jazz", order=3),           # same name, other address
            self.record("cnn", "http://fake/cnn", "news", order=4),    # would clash with a button
            self.record("VOA Chinese", "http://voa/zh", "news;talk", order=5),
            self.record("Sup", "http://A/1/", source="supplement", order=1_000_000,
                        rate="128kbps"),                                # repeats the first row
            self.record("CNN International", "http://cnn/intl", source="supplement",
                        order=1_000_001, rate="96kbps"),
        ]
        stations = mc.build(records, min_per_genre=0)
        rows = [s.row() for s in stations]
        names = [r[0] for r in rows]
        self.assertEqual(names.count("A"), 2)
        self.assertNotIn("cnn", names)
        self.assertNotIn("Sup", names)
        for quick in mc.QUICK_STATIONS:
            self.assertEqual(names.count(quick[0]), 1, quick[0])
        by_name = {r[0]: r for r in rows}
        self.assertEqual(by_name["Voice Of America - Chinese"][1:], ["美国", "新闻", "", "http://voa/zh"])
        self.assertEqual(by_name["CNN"][3:], ["96kbps", "http://cnn/intl"])
        self.assertEqual(by_name["FNN-News"][4], "")  # no address could be confirmed
        self.assertEqual([r for r in rows if r[4] == "http://a/1"][0][3], "128kbps")


@unittest.skipUnless(os.path.isdir(mc.DEFAULT_DATA), "source data not beside the project")
class ShippedSource(unittest.TestCase):
    def test_data_file_is_what_the_converter_makes(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "stations.csv")
            mc.main(["--out", out])
            with open(out, encoding="utf-8") as made, \
                    open(os.path.join(ROOT, "data", "stations.csv"), encoding="utf-8") as shipped:
                self.assertEqual(made.read(), shipped.read())


if __name__ == "__main__":
    unittest.main()
