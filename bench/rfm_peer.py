#!/usr/bin/python3
"""The whole-run benchmark's peer: one RFM analysis of a sample installation done with pandas.

It reads the customers of the last-visit period from the transaction database with pandas
read_sql, scores every customer vectorised by the program's rules (R from the days between the
last visit and the base date, F from the visits, M from the amount in whole units of 10,000 yen
with halves to the even unit, the group from the 125-cell matrix), writes the customer list of
the listed groups in the chosen order (at most 65,000 rows, the columns the program's list keeps,
widths fitted) with openpyxl in write-only mode, and prints its counts for the caller to compare:

    EXTRACTED n
    GROUPS a b c d e x
    LISTED n
    TIMES import s read s score s list s format s write s

usage: rfm_peer.py SETTINGS.json DATABASE OUTPUT.xlsx

SETTINGS.json (written by plwan40-bench-run from the installation's saved settings):
baseDate, lastVisitFrom, lastVisitTo ("YYYYMMDD"); r, f, m (the five threshold texts, rank 1 to
5); matrix (125 group letters, cell 1 first); listOrder ("1" customer number, "2" RFM value,
"3" group); listGroups (the listed letters, e.g. "ABCDEX"); removedItems (the codes of the
output items left out, e.g. ["000", "310"]; other codes remove nothing); classifications (four
objects with title, codes, names).
"""

import time

started = time.perf_counter()

import datetime  # noqa: E402
import json  # noqa: E402
import re  # noqa: E402
import sqlite3  # noqa: E402
import sys  # noqa: E402

import numpy as np  # noqa: E402
import openpyxl  # noqa: E402
import pandas as pd  # noqa: E402
from openpyxl.utils import get_column_letter  # noqa: E402

LIST_LIMIT = 65000
GROUPS = "ABCDEX"

# The list's 46 columns (A to AT) as the template heads them; the last four take the titles of
# the classification levels.
HEADINGS = [
    "店番", "端末番号", "会員番号", "RFM値", "グループ", "経過日数", "累計購買額", "累計来店回数",
    "最終来店日", "最終来店時刻", "期間購買額", "期間来店回数", "期間最終来店日", "期間最終来店時刻",
    "最終購買額", "現在(累計)ポイント", "生涯ポイント", "最終発行ポイント", "最終交換ポイント",
    "ランク", "初回来店日", "性別", "生年月日", "年齢層（初回来店時点）", "推定年齢",
    "お名前（カナ）", "お名前（漢字）", "郵便番号", "住所１", "住所２", "住所３", "電話番号１",
    "電話番号２", "メモ", "ＤＭ発送", "ＤＭ送付回数", "ＤＭ最終送付日", "メールお知らせ",
    "EMAIL送付回数", "EMAIL最終送付日", "メール種類", "メールアドレス", "", "", "", "",
]
# K to N hold the master's own figures beside those of a detailed purchase period, which this
# peer does not compute: they always go. An output item "NNN:..." removes column O + NNN / 10.
PERIOD_COLUMNS = [11, 12, 13, 14]
FIRST_ITEM_COLUMN = 15


def threshold_value(text):
    """The leading number of a threshold text as typed; 0 when there is none."""
    match = re.match(r"\s*([+-]?\d*(?:\.\d*)?)", text or "")
    try:
        return float(match.group(1))
    except ValueError:
        return 0.0


def rank(values, limits, at_most):
    """Rank digits 5 to 2 for the first of thresholds 5 down to 2 the value is within (days) or
    reaches (visits, amounts), else 1."""
    values = np.asarray(values)
    conditions = []
    for element in (5, 4, 3, 2):
        limit = threshold_value(limits[element - 1])
        conditions.append(values <= limit if at_most else values >= limit)
    return np.select(conditions, [5, 4, 3, 2], 1)


def whole_number(series):
    """A column read as the program reads a number: Null and what is no number count as 0."""
    return pd.to_numeric(series, errors="coerce").fillna(0).astype(np.int64)


def texts(series):
    """A text column with Null read as the empty text."""
    return series.fillna("").astype(str)


def date_of_text(series):
    """"YYYYMMDD" (blank padding allowed) as dates; NaT for anything that is no real date."""
    return pd.to_datetime(texts(series).str.strip(), format="%Y%m%d", errors="coerce")


def score(customers, settings):
    base = pd.Timestamp(datetime.datetime.strptime(settings["baseDate"], "%Y%m%d"))
    last_visit = date_of_text(customers["M1SakHby"])
    days = (base - last_visit).dt.days
    known = days.notna().to_numpy()
    r = np.where(known, rank(days.fillna(0).to_numpy(), settings["r"], True), 1)
    f = rank(whole_number(customers["M1SakRik"]).to_numpy(), settings["f"], False)
    # Whole units of 10,000 yen, a half to the even unit, in integers (negative amounts too).
    quotient, rest = np.divmod(whole_number(customers["M1SakRgk"]).to_numpy(), 10000)
    units = quotient + ((rest > 5000) | ((rest == 5000) & (quotient % 2 == 1)))
    m = rank(units, settings["m"], False)
    cell = 25 * (5 - r) + 5 * (5 - m) + (5 - f)
    matrix = np.array(settings["matrix"], dtype=object)
    scored = customers.assign(
        RFM値=pd.Series(r * 100 + f * 10 + m, index=customers.index).astype(str),
        グループ=matrix[cell],
        日数=pd.Series(np.where(known, days.fillna(0).astype(np.int64).astype(str), ""),
                     index=customers.index),
    )
    return scored


def numeric_zero(series):
    return pd.to_numeric(series, errors="coerce").fillna(0) == 0


def date_display(series):
    s = texts(series)
    year = s.str[:4].where(~numeric_zero(s.str[:4]), "    ")
    shown = year + "/" + s.str[4:6] + "/" + s.str[6:8]
    return shown.where(~numeric_zero(s), " " * 10)


def time_display(series):
    s = texts(series)
    return (s.str[:2] + ":" + s.str[2:4]).where(~numeric_zero(s), " " * 5)


def trimmed(series):
    return texts(series).str.strip(" \u3000\0")


def coded(series, names, otherwise):
    return texts(series).map(names).fillna(otherwise)


def right_aligned_count(series):
    return whole_number(series).map("{:,}".format).str.rjust(5)


def estimated_age(customers, today):
    """The age from the birth date (an unknown month "00" is February, an unknown day "00" the
    1st), else the age group at the first visit plus the years since; at most 99."""
    birth = texts(customers["M1KhBart"])
    unknown_month = birth.str[4:6] == "00"
    birth = birth.where(~unknown_month, birth.str[:4] + "02" + birth.str[6:])
    birth = birth.where(birth.str[6:8] != "00", birth.str[:6] + "01")
    year = pd.to_numeric(birth.str[:4], errors="coerce").fillna(0).astype(np.int64)
    february_end = np.where((year % 4 == 0) & ((year % 100 != 0) | (year % 400 == 0)), 29, 28)
    day = pd.to_numeric(birth.str[6:8], errors="coerce").fillna(0).astype(np.int64)
    clamp = unknown_month & (day > february_end) & (day <= 31)
    birth = birth.where(~clamp, birth.str[:6] + pd.Series(february_end, index=birth.index)
                        .astype(str).str.zfill(2))
    born = pd.to_datetime(birth, format="%Y%m%d", errors="coerce")
    born = born.where(~numeric_zero(birth) & (year != 0))
    before_birthday = (today.month < born.dt.month) | (
        (today.month == born.dt.month) & (today.day < born.dt.day))
    from_birth = today.year - born.dt.year - before_birthday.astype(np.int64)

    first_visit = texts(customers["M1KhSraB"])
    group = pd.to_numeric(texts(customers["M1KhNenS"]), errors="coerce").fillna(0)
    visit_year = pd.to_numeric(first_visit.str[:4], errors="coerce").fillna(0)
    from_group = np.round(group.clip(-1e6, 1e6) + today.year - visit_year)
    from_group = from_group.where(~numeric_zero(first_visit) & (group != 0), 0)
    age = from_birth.where(born.notna(), from_group).clip(upper=99).astype(np.int64)
    return age.astype(str).str.rjust(2)


def classification(series, level):
    codes = {}
    for code, name in zip(level["codes"], level["names"]):
        codes.setdefault(code, name)
    own = texts(series).str.strip()
    names = own.map(codes)
    return (own + ":" + names).where(~numeric_zero(own) & names.notna(), "")


def list_columns(rows, settings, today):
    """The list's cells by column number (1 to 46); texts, with "" for an empty cell."""
    consent = {"1": "\u3000する", "2": "しない"}
    columns = {
        1: texts(rows["M1MisBan"]), 2: texts(rows["M1KikBan"]), 3: texts(rows["M1KaiBan"]),
        4: rows["RFM値"], 5: rows["グループ"], 6: rows["日数"],
        7: whole_number(rows["M1SakRgk"]), 8: whole_number(rows["M1SakRik"]),
        9: date_display(rows["M1SakHby"]), 10: time_display(rows["M1SakHbh"]),
        15: whole_number(rows["M1SakGak"]), 16: whole_number(rows["M1SakPoG"]),
        17: whole_number(rows["M1SakPoL"]), 18: whole_number(rows["M1SakPoZ"]),
        19: whole_number(rows["M1SakPoK"]), 20: texts(rows["M1SakRak"]),
        21: date_display(rows["M1KhSraB"]),
        22: coded(rows["M1KhSeib"], {"1": "男", "2": "女"}, "\u3000"),
        23: date_display(rows["M1KhBart"]), 24: texts(rows["M1KhNenS"]),
        25: estimated_age(rows, today),
        35: coded(rows["M1DmmOsr"], consent, "\u3000" * 3),
        36: right_aligned_count(rows["M1SakDmk"]), 37: date_display(rows["M1SakDmH"]),
        38: coded(rows["M1EmaOsr"], consent, "\u3000" * 3),
        39: right_aligned_count(rows["M1SakEka"]), 40: date_display(rows["M1SakSfb"]),
        41: coded(rows["M1EmaSbt"], {"1": "PC", "2": "携帯"}, ""),
        42: trimmed(rows["M1EmaAdr"]),
    }
    for column, field in zip(range(26, 35), ["M1KhNamH", "M1KhNamZ", "M1KhZIPC", "M1KhADD1",
                                            "M1KhADD2", "M1KhADD3", "M1KhTEL1", "M1KhTEL2",
                                            "M1KhMemo"]):
        columns[column] = trimmed(rows[field])
    for i, level in enumerate(settings["classifications"][:4]):
        columns[43 + i] = classification(rows["M1BunJC%d" % (i + 1)], level)
    removed = set(PERIOD_COLUMNS)
    removed.update(FIRST_ITEM_COLUMN + int(code) // 10 for code in settings["removedItems"]
                   if re.fullmatch(r"[0-9]{3}", code) and int(code) % 10 == 0 and int(code) <= 310)
    return [(c, columns.get(c)) for c in range(1, 47) if c not in removed]


def display_width(series):
    """The widest cell of a column, a character beyond Latin-1 counting two."""
    if series is None or series.empty:
        return 0
    shown = series.astype(str)
    return int((shown.str.len() + shown.str.count(r"[^\x00-\xff]")).max())


def format_list(rows, settings, today):
    """The list as it is written: its headings, column widths and cells by column."""
    kept = list_columns(rows, settings, today)
    headings = list(HEADINGS)
    for i, level in enumerate(settings["classifications"][:4]):
        headings[42 + i] = level["title"]
    headings = [headings[column - 1] for column, _ in kept]
    widths, cells = [], []
    for heading, (_, values) in zip(headings, kept):
        widths.append(max(display_width(values), display_width(pd.Series([heading]))) + 1)
        if values is None:
            cells.append([None] * len(rows))
        elif values.dtype == object:
            # An empty text leaves its cell empty.
            cells.append(values.where(values != "", None).tolist())
        else:
            cells.append(values.tolist())
    return headings, widths, cells


def write_list(headings, widths, cells, output):
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("RFM顧客一覧")
    for position, width in enumerate(widths, start=1):
        sheet.column_dimensions[get_column_letter(position)].width = width
    sheet.append(headings)
    for row in zip(*cells):
        sheet.append(row)
    book.save(output)


def main():
    settings_path, database, output = sys.argv[1:4]
    with open(settings_path, encoding="utf-8") as file:
        settings = json.load(file)
    imported = time.perf_counter()

    with sqlite3.connect(database) as connection:
        customers = pd.read_sql(
            "SELECT * FROM M1_お客様マスタ WHERE M1SakHby >= ? AND M1SakHby <= ?", connection,
            params=(settings["lastVisitFrom"], settings["lastVisitTo"]))
    read = time.perf_counter()

    scored = score(customers, settings)
    counts = scored["グループ"].value_counts()
    scoring = time.perf_counter()

    order = {"1": ["M1KaiBan"], "2": ["RFM値", "M1KaiBan"], "3": ["グループ", "M1KaiBan"]}
    listed = scored[scored["グループ"].isin(list(settings["listGroups"]))]
    if settings["listOrder"] in order:
        listed = listed.sort_values(order[settings["listOrder"]], kind="stable")
    listed = listed.head(LIST_LIMIT)
    listing = time.perf_counter()

    formatted = format_list(listed, settings, datetime.date.today())
    formatting = time.perf_counter()

    write_list(*formatted, output)
    written = time.perf_counter()

    print("EXTRACTED %d" % len(scored))
    print("GROUPS " + " ".join(str(int(counts.get(g, 0))) for g in GROUPS))
    print("LISTED %d" % len(listed))
    print("TIMES import %.2f read %.2f score %.2f list %.2f format %.2f write %.2f" % (
        imported - started, read - imported, scoring - read, listing - scoring,
        formatting - listing, written - formatting))


if __name__ == "__main__":
    main()
