#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Turns public station data into the catalogue source data/stations.csv.

Inputs (see the data's README.txt): iprd_stations.csv (MIT licence) and the supplement
webradiodb_webradios.min.json (public domain, with bit rates). Output: one row per station with
name, country (Chinese), genre (one of the 57 genre names), bit-rate label and stream address.
The build turns that file into rd.cds with `corvinatone-cds build`.

    tools/make_catalogue.py [--data DIR] [--out data/stations.csv]
"""

import argparse
import base64
import csv
import json
import os
import re
import sys
from collections import Counter, defaultdict
from datetime import datetime, timezone

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_DATA = os.path.join(ROOT, "..", "shared", "data", "stations")
# The day the source data was retrieved: stream tokens that expired before it are dead.
RETRIEVED = datetime(2026, 12, 9, tzinfo=timezone.utc).timestamp()

GENRES = [
    "Funk", "Disco", "TOP 40", "RAP", "R&B", "House", "Hip-Hop", "60后", "70后", "80后", "90后",
    "综合", "瑞格舞", "热带雨林", "轻音乐", "民族风", "流行乐", "另类音乐", "拉丁", "宗教音乐", "其他",
    "摇滚乐", "新闻", "地域服务", "新世纪音乐", "校园歌曲", "乡村音乐", "舞曲", "天气", "体育频道",
    "谈话节目", "世界乐坛", "社区广播", "沙发音乐", "萨尔萨舞曲", "蓝草音乐", "灵歌", "爵士乐",
    "高科技舞曲", "凯尔特音乐", "经典老歌", "混合音乐", "氛围音乐", "福音", "经典打击乐", "古典乐",
    "金属乐", "独立音乐", "迷幻舞曲", "电子音乐", "大型爵士乐队", "丛林音乐", "城市节拍", "布鲁斯",
    "朋克", "佛教", "喜剧频道",
]
FALLBACK_GENRE = "综合"

# Tags that name a genre, exactly (after normalising). Tags not listed here and not caught by
# KEYWORD_RULES are no genre (languages, "hits", "public", broadcaster names…): the next tag is
# tried, and a station with no usable tag goes to FALLBACK_GENRE.
TAG_GENRES = {
    "Funk": ["funk", "funky"],
    "Disco": ["disco", "discofox", "italo disco", "nu disco", "eurodisco"],
    "TOP 40": ["top 40", "top40", "charts", "chart", "hit-parade", "top 100", "contemporary hits",
               "chr"],
    "RAP": ["rap", "trap"],
    "R&B": ["r'n'b", "rnb", "r&b", "r & b", "rhythm and blues"],
    "House": ["house", "deep house", "tech house"],
    "Hip-Hop": ["hip hop", "hip-hop", "hiphop"],
    "综合": ["variety", "variada", "variadas", "general", "generalist", "full service", "various"],
    "瑞格舞": ["reggae", "ska", "dancehall", "dub", "roots reggae"],
    "热带雨林": ["tropical", "tropicale", "tropicalia", "caribbean", "soca", "calypso", "zouk",
                "merengue", "bachata", "cumbia", "kompa"],
    "轻音乐": ["easy listening", "soft", "smooth", "relax", "relaxation", "instrumental", "piano",
              "ballads", "baladas", "balada", "love", "romantic", "romantica"],
    "民族风": ["folk", "folklore", "traditional", "tradicional", "ethnic", "indigenous",
              "volksmusik"],
    "流行乐": ["pop", "j-pop", "jpop", "k-pop", "kpop", "c-pop", "cpop", "schlager",
              "schlager music", "chanson", "chansons", "bollywood", "bollywood music",
              "mainstream", "adult contemporary", "hot adult contemporary", "adult hits",
              "electropop", "pop-rock", "evergreen pop"],
    "另类音乐": ["alternative", "adult album alternative", "aaa", "new wave", "grunge", "gothic",
                "darkwave"],
    "拉丁": ["latin", "latino", "latina", "reggaeton", "tango", "mpb", "grupera", "banda",
            "ranchera", "regional mexican", "mexicana", "mexican", "norteña"],
    "宗教音乐": ["religious", "religion", "christian", "catholic", "cristiana", "orthodox", "islam",
               "islamic", "quran", "bible", "worship", "praise", "spiritual", "ecclesia", "church"],
    "其他": ["other", "misc", "miscellaneous"],
    "摇滚乐": ["rock", "hard", "hard rock", "indie rock", "progressive rock", "prog rock",
              "post-rock", "psychedelic rock", "krautrock", "soft rock", "rock'n'roll",
              "rockabilly", "aor", "garage"],
    "新闻": ["news", "noticias", "noticia", "information", "informacion", "info", "current affairs",
            "nachrichten", "business"],
    "地域服务": ["local", "regional", "traffic", "rural", "municipal", "tourism"],
    "新世纪音乐": ["new age", "meditation", "healing"],
    "校园歌曲": ["college", "campus", "university", "universitaria", "universitária", "student",
              "college radio", "university radio"],
    "乡村音乐": ["country", "new country", "americana", "outlaw", "sertanejo", "western"],
    "舞曲": ["dance", "edm", "club", "eurodance", "dj", "party"],
    "天气": ["weather"],
    "体育频道": ["sports", "sport", "deportes", "esportes", "futebol", "football", "soccer"],
    "谈话节目": ["talk", "speech", "hablada", "spoken word", "talk radio", "politics", "political",
              "conservative"],
    "世界乐坛": ["world", "world music", "musique du monde", "worldbeat", "international",
              "multicultural", "afrobeats"],
    "社区广播": ["community", "comunitaria", "associative", "non-commercial", "community radio"],
    "沙发音乐": ["lounge", "chillout", "chill", "chilled", "chillhop", "downtempo", "down-tempo",
              "chillwave", "bossa nova"],
    "萨尔萨舞曲": ["salsa"],
    "蓝草音乐": ["bluegrass"],
    "灵歌": ["soul", "soulful", "motown", "northern soul"],
    "爵士乐": ["jazz", "smooth jazz", "acid jazz", "fusion"],
    "大型爵士乐队": ["big band", "swing", "standards"],
    "高科技舞曲": ["techno", "minimal", "hardstyle", "ebm", "industrial"],
    "凯尔特音乐": ["celtic", "irish"],
    "经典老歌": ["oldies", "classic hits", "retro", "nostalgia", "50s", "40s", "30s", "evergreens",
              "golden oldies", "classics"],
    "混合音乐": ["eclectic", "mix", "mixed", "mixes", "freeform"],
    "氛围音乐": ["ambient", "psybient", "psychill", "drone", "sleep"],
    "福音": ["gospel"],
    "经典打击乐": ["classic rock"],
    "古典乐": ["classical", "classical music", "baroque", "opera", "orchestral", "symphonic",
             "chamber", "early music", "medieval"],
    "金属乐": ["metal", "heavy metal"],
    "独立音乐": ["indie", "independent", "indie pop", "underground"],
    "迷幻舞曲": ["trance", "psytrance", "goa", "psy"],
    "电子音乐": ["electronic", "electro", "electronica", "idm", "dubstep", "synthpop", "chiptune",
              "experimental"],
    "丛林音乐": ["jungle", "drum'n'bass", "drum and bass", "drum & bass", "dnb", "breakbeat",
              "drum"],
    "城市节拍": ["urban", "urbano", "urbana", "urbain", "urban contemporary",
              "urban adult contemporary"],
    "布鲁斯": ["blues"],
    "朋克": ["punk", "post-punk", "hardcore punk"],
    "佛教": ["buddhist", "buddhism", "tibetan", "zen"],
    "喜剧频道": ["comedy", "humor", "humour", "comedy scene"],
}
TAG_TO_GENRE = {tag: genre for genre, tags in TAG_GENRES.items() for tag in tags}

# For compound tags ("progressive metal", "news/talk"): the first rule whose word occurs wins.
KEYWORD_RULES = [
    (r"hip[ -]?hop", "Hip-Hop"), (r"classic rock", "经典打击乐"), (r"metal", "金属乐"),
    (r"punk", "朋克"), (r"rock", "摇滚乐"), (r"jazz", "爵士乐"), (r"blues", "布鲁斯"),
    (r"house", "House"), (r"techno", "高科技舞曲"), (r"trance", "迷幻舞曲"),
    (r"country", "乡村音乐"), (r"classical", "古典乐"), (r"news", "新闻"), (r"talk", "谈话节目"),
    (r"gospel", "福音"), (r"christian|worship", "宗教音乐"), (r"folk", "民族风"),
    (r"latin", "拉丁"), (r"reggae", "瑞格舞"), (r"soul", "灵歌"), (r"ambient", "氛围音乐"),
    (r"chill|lounge", "沙发音乐"), (r"electro", "电子音乐"), (r"dance", "舞曲"),
    (r"sport", "体育频道"), (r"pop", "流行乐"),
]
DECADE = re.compile(r"^(?:19)?([6789])0(?:s|'s|er|ies)?$")

# Country codes to the names of the country search list, where the country is in it.
LISTED_COUNTRIES = {
    "DZ": "阿尔及利亚", "AL": "阿尔巴尼亚", "AF": "阿富汗", "AR": "阿根廷", "AE": "阿拉伯联合酋长国",
    "AW": "阿鲁巴", "OM": "阿曼", "AZ": "阿塞拜疆", "EG": "埃及", "IE": "爱尔兰", "EE": "爱沙尼亚",
    "AD": "安道尔", "AO": "安哥拉", "AI": "安圭拉", "AG": "安提瓜和巴布达", "AT": "奥地利",
    "AU": "澳大利亚", "BS": "巴哈马", "PK": "巴基斯坦", "PY": "巴拉圭", "PS": "巴勒斯坦", "BH": "巴林",
    "PA": "巴拿马", "BR": "巴西", "BY": "白俄罗斯", "BM": "百慕大群岛", "BG": "保加利亚", "BE": "比利时",
    "IS": "冰岛", "PR": "波多黎各", "BA": "波黑", "PL": "波兰", "PF": "波利尼西亚", "BO": "玻利维亚",
    "BZ": "伯利兹", "BW": "博茨瓦纳", "DK": "丹麦", "DE": "德国", "TG": "多哥", "DM": "多米尼加",
    "DO": "多米尼加共和国", "RU": "俄罗斯", "EC": "厄瓜多尔", "FR": "法国", "FO": "法罗群岛",
    "GF": "法属圭亚那", "VA": "梵蒂冈", "PH": "菲律宾", "FJ": "斐济", "FI": "芬兰", "CV": "佛得角",
    "FK": "福克兰群岛", "GM": "冈比亚", "CD": "刚果民主共和国", "CO": "哥伦比亚", "CR": "哥斯达黎加",
    "GD": "格林纳达", "GP": "瓜德罗普岛", "GU": "关岛", "GY": "圭亚那", "KZ": "哈萨克斯坦", "HT": "海地",
    "KR": "韩国", "NL": "荷兰", "ME": "黑山", "HN": "洪都拉斯", "KG": "吉尔吉斯斯坦", "GN": "几内亚",
    "GW": "几内亚比绍", "CA": "加拿大", "GH": "加纳", "KH": "柬埔寨", "CZ": "捷克", "ZW": "津巴布韦",
    "CM": "喀麦隆", "QA": "卡塔尔", "KY": "开罗群岛", "KM": "科摩罗", "KW": "科威特", "HR": "克罗地亚",
    "KE": "肯尼亚", "CK": "库克群岛", "LV": "拉脱维亚", "LB": "黎巴嫩", "LT": "立陶宛", "LI": "列支敦士登",
    "RE": "留尼旺岛", "LU": "卢森堡", "RO": "罗马尼亚", "MG": "马达加斯加", "MV": "马尔代夫", "MW": "马拉维",
    "MY": "马来西亚", "ML": "马里", "MP": "马里亚纳群岛", "MK": "马其顿", "MT": "马其他", "MQ": "马提尼克岛",
    "MU": "毛里求斯", "US": "美国", "BD": "孟加拉国", "PE": "秘鲁", "FM": "密克罗尼西亚", "MD": "摩尔多瓦",
    "MA": "摩洛哥", "MZ": "莫桑比克", "MX": "墨西哥", "NA": "纳米比亚", "ZA": "南非", "NR": "瑙鲁",
    "NP": "尼泊尔", "NI": "尼加拉瓜", "NO": "挪威", "PT": "葡萄牙", "JP": "日本", "SE": "瑞典", "CH": "瑞士",
    "SV": "萨尔瓦多", "WS": "萨摩亚群岛", "RS": "塞尔维亚", "SN": "塞内加尔", "CY": "塞浦路斯",
    "SC": "塞舌尔", "SA": "沙特阿拉伯", "SH": "圣赫勒拿岛", "KN": "圣克里斯托弗", "LC": "圣卢西亚岛",
    "SM": "圣马力诺", "PM": "圣皮埃尔岛", "VC": "圣文森特和格林纳丁斯", "LK": "斯里兰卡", "SK": "斯洛伐克",
    "SI": "斯洛文尼亚", "TH": "泰国", "TZ": "坦桑尼亚", "TC": "特克斯和凯科斯群岛", "TT": "特立尼达和多巴哥",
    "TN": "突尼斯", "TR": "土耳其", "VU": "瓦诺阿图", "GT": "危地马拉", "VI": "维尔京群岛", "VE": "委内瑞拉",
    "BN": "文莱", "UG": "乌干达", "UA": "乌克兰", "UY": "乌拉圭", "UZ": "乌兹别克斯坦", "ES": "西班牙",
    "GR": "希腊", "HK": "香港", "CI": "象牙海岸", "SG": "新加坡", "NC": "新喀里多尼亚", "NZ": "新西兰",
    "HU": "匈牙利", "SY": "叙利亚", "JM": "牙买加", "AM": "亚美尼亚", "IQ": "伊拉克", "IR": "伊朗",
    "IL": "以色列", "IT": "意大利", "IN": "印度", "ID": "印尼", "GB": "英国", "JO": "约旦", "VN": "越南",
    "GI": "直布罗陀", "CL": "智利", "CF": "中非共和国", "TW": "中国台北", "GE": "格鲁吉亚",
}
# The usual Chinese names of the countries the search list lacks.
OTHER_COUNTRIES = {
    "AS": "美属萨摩亚", "AX": "奥兰群岛", "BB": "巴巴多斯", "BF": "布基纳法索", "BI": "布隆迪",
    "BJ": "贝宁", "BQ": "荷兰加勒比区", "BT": "不丹", "CG": "刚果共和国", "CN": "中国", "CU": "古巴",
    "CW": "库拉索", "ET": "埃塞俄比亚", "GA": "加蓬", "GG": "根西岛", "GL": "格陵兰", "GQ": "赤道几内亚",
    "IM": "马恩岛", "JE": "泽西岛", "KP": "朝鲜", "LA": "老挝", "LR": "利比里亚", "LS": "莱索托",
    "LY": "利比亚", "MC": "摩纳哥", "MH": "马绍尔群岛", "MM": "缅甸", "MN": "蒙古", "MO": "澳门",
    "MR": "毛里塔尼亚", "MS": "蒙特塞拉特", "NE": "尼日尔", "NG": "尼日利亚", "PG": "巴布亚新几内亚",
    "RW": "卢旺达", "SB": "所罗门群岛", "SD": "苏丹", "SL": "塞拉利昂", "SO": "索马里", "SR": "苏里南",
    "SS": "南苏丹", "SX": "荷属圣马丁", "SZ": "斯威士兰", "TF": "法属南部领地", "TJ": "塔吉克斯坦",
    "TL": "东帝汶", "TM": "土库曼斯坦", "TO": "汤加", "UM": "美国本土外小岛屿", "VG": "英属维尔京群岛",
    "WF": "瓦利斯和富图纳", "XK": "科索沃", "YE": "也门", "YT": "马约特", "ZM": "赞比亚",
}
COUNTRY_NAMES = {**LISTED_COUNTRIES, **OTHER_COUNTRIES}

# The supplement names countries in English.
SUPPLEMENT_COUNTRIES = {
    "Germany": "DE", "USA": "US", "UK": "GB", "Wales": "GB", "Belgium": "BE", "Brazil": "BR",
    "Brasil": "BR", "France": "FR", "Netherlands": "NL", "Switzerland": "CH", "Canada": "CA",
    "Poland": "PL", "Lithuania": "LT", "Italy": "IT", "Australia": "AU", "Spain": "ES", "India": "IN",
    "Sweden": "SE", "Slovakia": "SK", "Russia": "RU", "Россия": "RU", "The Russian Federation": "RU",
    "Denmark": "DK", "Israel": "IL", "Portugal": "PT", "Indonesia": "ID", "China": "CN",
    "Costa Rica": "CR", "Austria": "AT", "Greece": "GR", "Cuba": "CU", "Argentina": "AR",
    "Ukraine": "UA", "New Zealand": "NZ", "Mexico": "MX", "Luxembourg": "LU", "Hungary": "HU",
    "Japan": "JP", "Romania": "RO", "Finland": "FI", "Malaysia": "MY", "Norway": "NO",
    "Estonia": "EE", "Macedonia": "MK", "Equatorial Guinea": "GQ", "Bermuda": "BM", "Jamaica": "JM",
    "Moldova": "MD", "Bulgaria": "BG", "Kyrgyzstan": "KG", "Colombia": "CO",
    "Korea, Democratic People's Republic Of": "KP", "Ghana": "GH", "Syria": "SY", "Bahamas": "BS",
    "Czech Republic": "CZ", "Serbia": "RS", "Palestine": "PS", "Nigeria": "NG",
}

# The nine quick-station buttons play these names; each must occur exactly once. Each entry is
# the broadcaster's best stream in the data, found by (source, country code, name in the data),
# or None where the data has no stream of that broadcaster and no address could be confirmed.
QUICK_STATIONS = [
    ("BBC World Service UK", "GB", "新闻", ("iprd", "GB", "BBC World Service")),
    ("CNN", "US", "新闻", ("supplement", "US", "CNN International")),
    ("Voice Of America - Chinese", "US", "新闻", ("iprd", "US", "VOA Chinese")),
    ("RAI Radio 1", "IT", "新闻", ("iprd", "IT", "Rai Radio 1")),
    ("Al Jazeera Arabic", "QA", "新闻", ("iprd", "QA", "Al Jazeera")),
    ("KBS Channel 1", "KR", "新闻", ("iprd", "KR", "KBS World Chinese Radio")),
    ("FNN-News", "JP", "新闻", None),
    ("Europe 1", "FR", "新闻", ("iprd", "FR", "Europe 1")),
    ("CanalSurRadio Andalucia", "ES", "新闻", None),
]

BITRATES = {24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}
BITRATE_IN_NAME = re.compile(r"(?<!\d)(\d{2,3})\s*k(?:bps|b/s|bit/s|bit)?\b", re.I)
BITRATE_IN_URL = [
    re.compile(r"[_/-](\d{2,3})(?:k|kbps)(?![a-z0-9])", re.I),  # "/96k", "_128kbps"
    re.compile(r"_(\d{2,3})(?![0-9])"),                          # "_128"
    re.compile(r"/(\d{2,3})\.(?:mp3|aac|ogg|m3u8)\b", re.I),     # "/64.m3u8"
    re.compile(r"/(?:aac|mp3|ogg)/(\d{2,3})/", re.I),            # "/aac/64/"
]
MAX_CHARS = 255  # the catalogue's text width
PLAYABLE = re.compile(r"^https?://[^\s/]+", re.I)


def normalise_tag(tag):
    return re.sub(r"\s+", " ", tag.replace("’", "'").strip().lower())


def genre_of_tag(tag):
    tag = normalise_tag(tag)
    if not tag:
        return None
    if tag in TAG_TO_GENRE:
        return TAG_TO_GENRE[tag]
    decade = DECADE.match(tag)
    if decade:
        return decade.group(1) + "0后"
    for pattern, genre in KEYWORD_RULES:
        if re.search(r"\b(?:%s)" % pattern, tag):
            return genre
    return None


def genre_of_tags(tags):
    """The genre of the first tag that names one, and the tag's position (None: no usable tag)."""
    for position, tag in enumerate(tags):
        genre = genre_of_tag(tag)
        if genre:
            return genre, position
    return FALLBACK_GENRE, None


def split_tags(text):
    return [t for t in re.split(r"[;,]", text or "") if t.strip()]


def bitrate_label(name, url):
    """A "128kbps" label where the name or address states a bit rate, else empty."""
    for match in BITRATE_IN_NAME.finditer(name):
        if int(match.group(1)) in BITRATES:
            return match.group(1) + "kbps"
    for pattern in BITRATE_IN_URL:
        for match in pattern.finditer(url):
            if int(match.group(1)) in BITRATES:
                return match.group(1) + "kbps"
    return ""


def token_expired(url):
    """True when the address carries a signed token (JWT) that expired before retrieval."""
    match = re.search(r"[?&](?:zt|token|jwt)=(eyJ[\w-]+)\.(eyJ[\w-]+)\.", url)
    if not match:
        return False
    payload = match.group(2)
    try:
        claims = json.loads(base64.urlsafe_b64decode(payload + "=" * (-len(payload) % 4)))
    except (ValueError, json.JSONDecodeError):
        return False
    return isinstance(claims.get("exp"), (int, float)) and claims["exp"] < RETRIEVED


def playable(url):
    return bool(PLAYABLE.match(url)) and len(url) <= MAX_CHARS and not token_expired(url)


def clean_url(url):
    """The address with its scheme in lower case ("HTTP://" occurs in the data)."""
    url = url.strip()
    return re.sub(r"^https?(?=://)", lambda m: m.group(0).lower(), url, flags=re.I)


def url_key(url):
    return url.strip().rstrip("/").lower()


class Station:
    __slots__ = ("name", "code", "genre", "genre_rank", "bitrate", "url", "order")

    def __init__(self, name, code, tags, url, order, bitrate=""):
        self.name = name
        self.code = code
        self.genre, self.genre_rank = genre_of_tags(tags)
        self.url = url
        self.bitrate = bitrate or bitrate_label(name, url)
        self.order = order

    def score(self):
        """Tag quality first: a genre from the first tag beats one from a later tag beats none."""
        quality = {0: 3, None: 0}.get(self.genre_rank, 2)
        return quality + (1 if self.bitrate else 0)

    def row(self):
        return [self.name, COUNTRY_NAMES[self.code], self.genre, self.bitrate, self.url]


def read_iprd(path):
    with open(path, encoding="utf-8", newline="") as f:
        for order, rec in enumerate(csv.DictReader(f)):
            yield ("iprd", rec["country_code"], rec["name"].strip(), clean_url(rec["url"]),
                   split_tags(rec["tags"]), order, "")


def read_supplement(path):
    with open(path, encoding="utf-8") as f:
        data = json.load(f)
    for order, (_, rec) in enumerate(sorted(data.items())):
        code = SUPPLEMENT_COUNTRIES.get(rec.get("Country", ""))
        rate = rec.get("Bitrate") or 0
        label = "%dkbps" % rate if isinstance(rate, int) and rate > 0 else ""
        yield ("supplement", code, rec.get("Name", "").strip(), clean_url(rec.get("StreamUri", "")),
               rec.get("Genre") or [], 1_000_000 + order, label)


def country_cap(count):
    """How many stations of a country to keep: all of a small one, a shrinking share of a big one."""
    return count if count <= 40 else int(round(40 + 1.8 * (count - 40) ** 0.75))


def build(records, min_per_genre=12):
    """Chooses the stations. records: (source, code, name, url, tags, order, bitrate) tuples."""
    records = list(records)
    quick_sources = {q[3]: q for q in QUICK_STATIONS if q[3]}
    quick_names = {q[0].casefold() for q in QUICK_STATIONS}
    supplement_rates = {url_key(r[3]): r[6] for r in records if r[0] == "supplement" and r[6]}

    seen, pool, quick = set(), [], {}
    for source, code, name, url, tags, order, rate in records:
        if code not in COUNTRY_NAMES or not name or len(name) > MAX_CHARS or not playable(url):
            continue
        if (name, url) in seen:
            continue
        seen.add((name, url))
        station = Station(name, code, tags, url, order,
                          rate or supplement_rates.get(url_key(url), ""))
        match = quick_sources.get((source, code, name))
        if match and match[0] not in quick:
            quick[match[0]] = station
        elif name.casefold() not in quick_names:
            pool.append(station)

    # The supplement repeats some directory stations: keep the directory's row then.
    directory_urls = {url_key(s.url) for s in pool if s.order < 1_000_000}
    directory_urls |= {url_key(s.url) for s in quick.values()}
    pool = [s for s in pool if s.order < 1_000_000 or url_key(s.url) not in directory_urls]

    by_country = defaultdict(list)
    for station in pool:
        by_country[station.code].append(station)
    chosen = []
    for code, stations in by_country.items():
        stations.sort(key=lambda s: (-s.score(), s.order))
        chosen.extend(stations[:country_cap(len(stations))])

    # Every genre that the data can fill gets a few stations, whatever the country caps left out.
    counts = Counter(s.genre for s in chosen)
    taken = {id(s) for s in chosen}
    for genre in GENRES:
        missing = min_per_genre - counts[genre]
        if missing <= 0:
            continue
        spare = sorted((s for s in pool if s.genre == genre and id(s) not in taken),
                       key=lambda s: (-s.score(), s.order))
        chosen.extend(spare[:missing])

    for name, code, genre, source in QUICK_STATIONS:
        station = quick.get(name)
        if station is None:
            station = Station(name, code, [], "", sys.maxsize)
        station.name, station.code, station.genre = name, code, genre
        chosen.append(station)

    chosen.sort(key=lambda s: (s.code, s.order))
    return chosen


def write_catalogue(stations, path):
    with open(path, "w", encoding="utf-8", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["电台名称", "电台国家", "电台类别", "编码率", "电台地址"])
        for station in stations:
            out.writerow(station.row())


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=DEFAULT_DATA, help="folder of the source data")
    parser.add_argument("--out", default=os.path.join(ROOT, "data", "stations.csv"))
    args = parser.parse_args(argv)
    records = list(read_iprd(os.path.join(args.data, "iprd_stations.csv")))
    records += read_supplement(os.path.join(args.data, "webradiodb_webradios.min.json"))
    stations = build(records)
    write_catalogue(stations, args.out)
    genres = Counter(s.genre for s in stations)
    print("%d stations, %d countries, %d genres (fewest: %s)" % (
        len(stations), len({s.code for s in stations}), len(genres),
        ", ".join("%s %d" % g for g in sorted(genres.items(), key=lambda g: g[1])[:5])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
