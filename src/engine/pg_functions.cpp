// The dialect's jet_* functions on a server, as SQL functions in the site database's public
// schema: translations call the same names on both backends. Dates are ISO texts, as the
// engine stores them; a date's number is its serial day (1899-12-30 is day 0).
#include "engine/jet_dialect.h"
#include "engine/pg_session.h"

#include <QDebug>
#include <QMutex>
#include <QSet>

namespace tv::engine::dialect {

namespace {

// Bumped whenever a definition changes: a site made by an older program gets the new ones.
constexpr int kFunctionsVersion = 13;

const char* const kDefinitions[] = {
    // Failures carry the runtime's number, read back by runtimeErrorNumber.
    R"(CREATE OR REPLACE FUNCTION public.jet_fail(n integer, t text) RETURNS double precision
       LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'runtime error %: %', n, t; END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_concat(VARIADIC parts text[]) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN bool_and(p IS NULL) THEN NULL
       ELSE string_agg(coalesce(p, ''), '' ORDER BY o) END FROM unnest(parts) WITH ORDINALITY AS u(p, o) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_ucase(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT upper(t) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_lcase(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT lower(t) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_left(t text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument')::text
       ELSE left(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_right(t text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument')::text
       WHEN n = 0 THEN '' ELSE right(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mid(t text, s double precision, n double precision DEFAULT NULL)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN s < 1 OR n < 0
       THEN public.jet_fail(5, 'Invalid procedure call or argument')::text
       WHEN n IS NULL THEN substr(t, s::integer) ELSE substr(t, s::integer, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_instr(a text, b text) RETURNS integer LANGUAGE sql
       IMMUTABLE AS $$ SELECT strpos(lower(a), lower(b)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_instr(s double precision, a text, b text) RETURNS integer
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN strpos(lower(substr(a, s::integer)), lower(b)) = 0 THEN 0
       ELSE strpos(lower(substr(a, s::integer)), lower(b)) + s::integer - 1 END $$)",
    // InStr's compare argument: 0 compares binary (case counts), 1 as text.
    R"(CREATE OR REPLACE FUNCTION public.jet_instr(s double precision, a text, b text, c double precision)
       RETURNS integer LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN c <> 0 THEN public.jet_instr(s, a, b)
       WHEN strpos(substr(a, s::integer), b) = 0 THEN 0
       ELSE strpos(substr(a, s::integer), b) + s::integer - 1 END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_now() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_date() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT to_char(localtimestamp, 'YYYY-MM-DD') || ' 00:00:00' $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_time() RETURNS text LANGUAGE sql STABLE
       AS $$ SELECT '1899-12-30 ' || to_char(localtimestamp, 'HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_ts(d text) RETURNS timestamp LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN d IS NULL THEN NULL
       WHEN d ~ '^\d{4}-\d\d-\d\d( \d\d:\d\d(:\d\d)?)?$' THEN d::timestamp
       ELSE public.jet_fail(13, 'Type mismatch')::text::timestamp END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_year(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(year FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_month(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(month FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_day(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(day FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_hour(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(hour FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_minute(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(minute FROM public.jet_ts(d))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_second(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT floor(extract(second FROM public.jet_ts(d)))::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_weekday(d text) RETURNS integer LANGUAGE sql IMMUTABLE
       AS $$ SELECT extract(dow FROM public.jet_ts(d))::integer + 1 $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_serial(d text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT extract(epoch FROM public.jet_ts(d) - timestamp '1899-12-30') / 86400.0 $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_todate(n double precision) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN n < -657434 OR n >= 2958466 THEN public.jet_fail(6, 'Overflow')::text
       ELSE to_char(timestamp '1899-12-30' + make_interval(secs => round(n * 86400)),
       'YYYY-MM-DD HH24:MI:SS') END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateplus(d text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_todate(public.jet_serial(d) + n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateplus(n double precision, d text) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_todate(public.jet_serial(d) + n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateminus(d text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_todate(public.jet_serial(d) - n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_days(a text, b text) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_serial(a) - public.jet_serial(b) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_num(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n = 'Infinity' OR n = '-Infinity'
       THEN public.jet_fail(6, 'Overflow') ELSE n END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_div(a double precision, b double precision)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN b = 0 AND a = 0
       THEN public.jet_fail(6, 'Overflow') WHEN b = 0
       THEN public.jet_fail(11, 'Division by zero') ELSE a / b END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_intdiv(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero')::bigint WHEN abs(a) > 2147483647.5 OR abs(b) > 2147483647.5
       THEN public.jet_fail(6, 'Overflow')::bigint ELSE trunc(round(a) / round(b))::bigint END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mod(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero')::bigint ELSE mod(round(a)::bigint, round(b)::bigint) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_pow(a double precision, b double precision)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT power(a, b) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_int(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT floor(n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_fix(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT trunc(n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_round(n double precision, d double precision DEFAULT 0)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT CASE
       WHEN abs(n * 10 ^ d - trunc(n * 10 ^ d)) = 0.5
       THEN (2 * round(n * 10 ^ d / 2)) / 10 ^ d ELSE round(n * 10 ^ d) / 10 ^ d END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdbl(t text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN t IS NULL THEN NULL WHEN btrim(t) ~ '^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$'
       THEN btrim(t)::double precision ELSE public.jet_fail(13, 'Type mismatch') END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdbl(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT n $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_clng(n double precision) RETURNS bigint LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN abs(n) > 2147483647.5 THEN public.jet_fail(6, 'Overflow')::bigint
       ELSE round(n)::bigint END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cint(n double precision) RETURNS integer LANGUAGE sql
       IMMUTABLE AS $$ SELECT round(n)::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_val(t text) RETURNS double precision LANGUAGE sql
       IMMUTABLE AS $$ SELECT coalesce(nullif(substring(replace(coalesce(t, ''), ' ', '')
       FROM '^[-+]?\d*\.?\d+'), '')::double precision, 0) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cstr(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT t $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cstr(n double precision) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN n = trunc(n) AND abs(n) < 1e15 THEN trunc(n)::bigint::text
       ELSE n::text END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_gdate(d text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN d IS NULL THEN NULL WHEN substr(d, 12) IN ('', '00:00:00')
       THEN to_char(public.jet_ts(d), 'DD/MM/YYYY')
       WHEN substr(d, 1, 10) = '1899-12-30' THEN to_char(public.jet_ts(d), 'HH24:MI:SS')
       ELSE to_char(public.jet_ts(d), 'DD/MM/YYYY HH24:MI:SS') END $$)",
    // Like patterns the translation cannot hand to LIKE: * ? # [list] [!list], any case.
    R"(CREATE OR REPLACE FUNCTION public.jet_like(v text, p text) RETURNS boolean LANGUAGE sql
       IMMUTABLE AS $$ SELECT lower(v) ~ ('^' || replace(replace(replace(replace(
       regexp_replace(lower(p), '([.+(){}|^$\\])', '\\\1', 'g'), '[!', '[^'), '*', '.*'),
       '?', '.'), '#', '[0-9]') || '$') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_iso(t timestamp) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT to_char(t, 'YYYY-MM-DD HH24:MI:SS') $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_span(i text, n double precision) RETURNS interval
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE lower(i) WHEN 'yyyy' THEN make_interval(years => n::integer)
       WHEN 'q' THEN make_interval(months => 3 * n::integer) WHEN 'm' THEN make_interval(months => n::integer)
       WHEN 'ww' THEN make_interval(weeks => n::integer) WHEN 'h' THEN make_interval(hours => n::integer)
       WHEN 'n' THEN make_interval(mins => n::integer) WHEN 's' THEN make_interval(secs => n::integer)
       WHEN 'd' THEN make_interval(days => n::integer) WHEN 'y' THEN make_interval(days => n::integer)
       WHEN 'w' THEN make_interval(days => n::integer)
       ELSE public.jet_fail(5, 'Invalid procedure call or argument')::text::interval END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateadd(i text, n double precision, d text) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_iso(public.jet_ts(d) + public.jet_span(i, n)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_datepart(i text, d text, f double precision DEFAULT 1)
       RETURNS integer LANGUAGE sql IMMUTABLE AS $$ SELECT CASE lower(i)
       WHEN 'yyyy' THEN extract(year FROM public.jet_ts(d)) WHEN 'q' THEN extract(quarter FROM public.jet_ts(d))
       WHEN 'm' THEN extract(month FROM public.jet_ts(d)) WHEN 'y' THEN extract(doy FROM public.jet_ts(d))
       WHEN 'd' THEN extract(day FROM public.jet_ts(d))
       WHEN 'w' THEN mod(extract(dow FROM public.jet_ts(d))::integer + 8 - f::integer, 7) + 1
       WHEN 'ww' THEN (extract(doy FROM public.jet_ts(d))::integer - 1
         + mod(extract(dow FROM date_trunc('year', public.jet_ts(d)))::integer + 8 - f::integer, 7)) / 7 + 1
       WHEN 'h' THEN extract(hour FROM public.jet_ts(d))
       WHEN 'n' THEN extract(minute FROM public.jet_ts(d)) WHEN 's' THEN floor(extract(second FROM public.jet_ts(d)))
       ELSE public.jet_fail(5, 'Invalid procedure call or argument') END::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_datediff(i text, a text, b text, f double precision DEFAULT 1)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE lower(i)
       WHEN 'yyyy' THEN public.jet_year(b) - public.jet_year(a)
       WHEN 'q' THEN (public.jet_year(b) * 4 + public.jet_datepart('q', b)) - (public.jet_year(a) * 4 + public.jet_datepart('q', a))
       WHEN 'm' THEN (public.jet_year(b) * 12 + public.jet_month(b)) - (public.jet_year(a) * 12 + public.jet_month(a))
       WHEN 'ww' THEN ((floor(public.jet_serial(b)) - mod(extract(dow FROM public.jet_ts(b))::integer + 8 - f::integer, 7))
         - (floor(public.jet_serial(a)) - mod(extract(dow FROM public.jet_ts(a))::integer + 8 - f::integer, 7)))::bigint / 7
       WHEN 'w' THEN (floor(public.jet_serial(b)) - floor(public.jet_serial(a)))::bigint / 7
       WHEN 'h' THEN floor(public.jet_serial(b) * 24 + 1e-9) - floor(public.jet_serial(a) * 24 + 1e-9)
       WHEN 'n' THEN floor(public.jet_serial(b) * 1440 + 1e-9) - floor(public.jet_serial(a) * 1440 + 1e-9)
       WHEN 's' THEN round(public.jet_serial(b) * 86400) - round(public.jet_serial(a) * 86400)
       WHEN 'd' THEN floor(public.jet_serial(b)) - floor(public.jet_serial(a))
       WHEN 'y' THEN floor(public.jet_serial(b)) - floor(public.jet_serial(a))
       ELSE public.jet_fail(5, 'Invalid procedure call or argument') END::bigint $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateserial(y double precision, m double precision, d double precision)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_iso(make_timestamp(y::integer, 1, 1, 0, 0, 0)
       + make_interval(months => m::integer - 1, days => d::integer - 1)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_timeserial(h double precision, m double precision, s double precision)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_iso(timestamp '1899-12-30'
       + make_interval(hours => h::integer, mins => m::integer, secs => s)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdate(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN t IS NULL THEN NULL WHEN t ~ '^\d{4}-\d\d-\d\d' THEN public.jet_iso(public.jet_ts(t))
       WHEN t ~ '^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d\d(:\d\d)?)?$' THEN public.jet_iso(to_timestamp(t, 'DD/MM/YYYY HH24:MI:SS')::timestamp)
       ELSE public.jet_fail(13, 'Type mismatch')::text END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdate(n double precision) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT public.jet_todate(n) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_datevalue(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT substr(public.jet_cdate(t), 1, 10) || ' 00:00:00' $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_timevalue(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT '1899-12-30 ' || substr(public.jet_cdate(t), 12) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_csng(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT n::real::double precision $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cbool(n double precision) RETURNS integer
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n IS NULL THEN NULL WHEN n <> 0 THEN -1 ELSE 0 END $$)",
    // Format, as the program's own Format writes on files: named formats, truth words,
    // date patterns of d/m/y/h/n/s/w/q and AM/PM, digit patterns of 0 # . , % E+ with up to
    // four sections, quoted and escaped literals. A value that cannot be read as the pattern
    // asks comes back as its text. Named formats and separators come from the translation
    // (the workstation's region); left to these defaults, a day-month-year site with a point
    // for decimals.
    R"(CREATE OR REPLACE FUNCTION public.jet_meridian_at(p text, i integer) RETURNS integer
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN upper(substr(p, i, 5)) = 'AM/PM' THEN 5
       WHEN upper(substr(p, i, 4)) = 'AMPM' THEN 4 WHEN upper(substr(p, i, 3)) = 'A/P' THEN 3
       ELSE 0 END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_is_date_pattern(p text) RETURNS boolean
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE i integer := 1; c text; quoted boolean := false;
       found boolean := false; BEGIN
       WHILE i <= length(p) LOOP c := substr(p, i, 1);
         IF c = '"' THEN quoted := NOT quoted;
         ELSIF quoted THEN NULL;
         ELSIF c = '\' THEN i := i + 1;
         ELSIF c IN ('0', '#') THEN RETURN false;
         ELSIF strpos('dmyhnswqc', lower(c)) > 0 OR public.jet_meridian_at(p, i) > 0
               OR lower(substr(p, i, 5)) = 'ttttt' THEN found := true;
         END IF;
         i := i + 1;
       END LOOP;
       RETURN found; END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_named_format(p text) RETURNS text LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE lower(p) WHEN 'short date' THEN 'dd/mm/yyyy'
       WHEN 'medium date' THEN 'dd-mmm-yy' WHEN 'long date' THEN 'dddd, d mmmm yyyy'
       WHEN 'long time' THEN 'hh:nn:ss' WHEN 'medium time' THEN 'hh:nn AM/PM'
       WHEN 'short time' THEN 'hh:nn' WHEN 'fixed' THEN '0.00' WHEN 'standard' THEN '#,##0.00'
       WHEN 'percent' THEN '0.00%' WHEN 'scientific' THEN '0.00E+00'
       WHEN 'currency' THEN '\$#,##0.00' ELSE p END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_format_date(ts timestamp, p text) RETURNS text
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE i integer := 1; n integer := length(p);
       c text; lc text; k integer; e integer; m integer; h integer; out text := '';
       quoted boolean := false; twelve boolean := false; after_hour boolean := false;
       hour_token boolean; word text; jan1 date; BEGIN
       WHILE i <= n LOOP c := substr(p, i, 1);
         IF c = '"' THEN quoted := NOT quoted;
         ELSIF NOT quoted AND c = '\' THEN i := i + 1;
         ELSIF NOT quoted AND public.jet_meridian_at(p, i) > 0 THEN twelve := true;
         END IF;
         i := i + 1;
       END LOOP;
       i := 1;
       WHILE i <= n LOOP
         c := substr(p, i, 1); lc := lower(c);
         IF c = '"' THEN
           e := strpos(substr(p, i + 1), '"');
           IF e = 0 THEN out := out || substr(p, i + 1); i := n + 1;
           ELSE out := out || substr(p, i + 1, e - 1); i := i + e + 1; END IF;
           CONTINUE;
         END IF;
         IF c = '\' THEN out := out || substr(p, i + 1, 1); i := i + 2; CONTINUE; END IF;
         m := public.jet_meridian_at(p, i);
         IF m > 0 THEN
           word := CASE WHEN m = 3 THEN CASE WHEN extract(hour FROM ts) >= 12 THEN 'P' ELSE 'A' END
                   ELSE CASE WHEN extract(hour FROM ts) >= 12 THEN 'PM' ELSE 'AM' END END;
           out := out || CASE WHEN c = lower(c) THEN lower(word) ELSE word END;
           i := i + m; CONTINUE;
         END IF;
         k := 1;
         WHILE i + k <= n AND lower(substr(p, i + k, 1)) = lc LOOP k := k + 1; END LOOP;
         hour_token := false;
         IF lc = 'd' THEN
           out := out || CASE least(k, 6) WHEN 1 THEN extract(day FROM ts)::integer::text
             WHEN 2 THEN to_char(ts, 'DD') WHEN 3 THEN to_char(ts, 'Dy') WHEN 4 THEN to_char(ts, 'FMDay')
             WHEN 5 THEN public.jet_format_date(ts, 'dd/mm/yyyy')
             ELSE public.jet_format_date(ts, 'dddd, d mmmm yyyy') END;
         ELSIF lc = 'm' THEN
           IF k <= 2 AND after_hour THEN
             out := out || CASE k WHEN 1 THEN extract(minute FROM ts)::integer::text ELSE to_char(ts, 'MI') END;
           ELSIF k <= 2 THEN
             out := out || CASE k WHEN 1 THEN extract(month FROM ts)::integer::text ELSE to_char(ts, 'MM') END;
           ELSE out := out || CASE k WHEN 3 THEN to_char(ts, 'Mon') ELSE to_char(ts, 'FMMonth') END;
           END IF;
         ELSIF lc = 'y' THEN
           out := out || CASE k WHEN 1 THEN extract(doy FROM ts)::integer::text
             WHEN 2 THEN to_char(ts, 'YY') ELSE lpad(extract(year FROM ts)::integer::text, 4, '0') END;
         ELSIF lc = 'h' THEN
           h := extract(hour FROM ts)::integer;
           IF twelve THEN h := CASE WHEN h % 12 = 0 THEN 12 ELSE h % 12 END; END IF;
           out := out || CASE k WHEN 1 THEN h::text ELSE lpad(h::text, 2, '0') END;
           hour_token := true;
         ELSIF lc = 'n' THEN
           out := out || CASE k WHEN 1 THEN extract(minute FROM ts)::integer::text ELSE to_char(ts, 'MI') END;
         ELSIF lc = 's' THEN
           out := out || CASE k WHEN 1 THEN floor(extract(second FROM ts))::integer::text ELSE to_char(ts, 'SS') END;
         ELSIF lc = 'w' THEN
           IF k = 1 THEN out := out || (extract(dow FROM ts)::integer + 1)::text;
           ELSE
             -- Week 1 holds 1 January; weeks start on Sunday.
             jan1 := make_date(extract(year FROM ts)::integer, 1, 1);
             out := out || (((ts::date - jan1) + extract(dow FROM jan1)::integer) / 7 + 1)::text;
           END IF;
         ELSIF lc = 'q' AND k = 1 THEN out := out || extract(quarter FROM ts)::integer::text;
         ELSIF lc = 'c' AND k = 1 THEN out := out || public.jet_gdate(to_char(ts, 'YYYY-MM-DD HH24:MI:SS'));
         ELSIF lc = 't' AND k = 5 THEN out := out || to_char(ts, 'HH24:MI:SS');
         ELSE out := out || substr(p, i, k);
         END IF;
         -- Separators and other literals between "h" and "m" keep the minute meaning.
         IF lc IN ('d', 'm', 'y', 'h', 'n', 's', 'w', 'q') THEN after_hour := hour_token; END IF;
         i := i + k;
       END LOOP;
       RETURN out; END $$)",
    // A digit pattern's sections, split at semicolons outside quotes and escapes.
    R"(CREATE OR REPLACE FUNCTION public.jet_sections(p text) RETURNS text[]
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE i integer := 1; c text; cur text := '';
       quoted boolean := false; out text[] := '{}'; BEGIN
       WHILE i <= length(p) LOOP c := substr(p, i, 1);
         IF c = '"' THEN quoted := NOT quoted; END IF;
         IF NOT quoted AND c = '\' AND i < length(p) THEN cur := cur || substr(p, i, 2); i := i + 2; CONTINUE; END IF;
         IF NOT quoted AND c = ';' THEN out := out || cur; cur := '';
         ELSE cur := cur || c; END IF;
         i := i + 1;
       END LOOP;
       RETURN out || cur; END $$)",
    // One section; a negative value gets a leading minus (the negative section is given the
    // value made positive, as it shows its own sign). dp and gs are the workstation's decimal
    // point and digit grouping.
    R"(CREATE OR REPLACE FUNCTION public.jet_format_section(v double precision, s text,
       dp text DEFAULT '.', gs text DEFAULT ',') RETURNS text
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE
       kind text[] := '{}'; txt text[] := '{}'; expd integer[] := '{}'; cnt integer;
       i integer := 1; n integer := length(s); c text; e integer; d integer; seen_point boolean := false;
       int_end integer; frac_end integer; has_point boolean := false; int_zeros integer := 0;
       int_ph integer := 0; min_frac integer := 0; max_frac integer := 0; grouping boolean := false;
       scaling integer := 0; percents integer := 0; first_int integer := 0; last_int integer := 0;
       exp_at integer := 0; counted integer; x numeric; r numeric; int_digits text; fraction text;
       negative boolean; exponent integer := 0; all_digits text; int_count integer; sig integer;
       integer_part text := ''; left_digits text; out text; nxt integer; BEGIN
       WHILE i <= n LOOP c := substr(s, i, 1);
         IF c = '"' THEN
           e := strpos(substr(s, i + 1), '"');
           IF e = 0 THEN kind := kind || 'L'::text; txt := txt || substr(s, i + 1); expd := expd || 0; i := n;
           ELSE kind := kind || 'L'::text; txt := txt || substr(s, i + 1, e - 1); expd := expd || 0; i := i + e; END IF;
         ELSIF c = '\' AND i < n THEN i := i + 1; kind := kind || 'L'::text; txt := txt || substr(s, i, 1); expd := expd || 0;
         ELSIF c IN ('0', '#', ',', '%') OR (c = '.' AND NOT seen_point) THEN
           IF c = '.' THEN seen_point := true; END IF;
           kind := kind || c; txt := txt || c; expd := expd || 0;
         ELSIF c IN ('E', 'e') AND i < n AND substr(s, i + 1, 1) IN ('+', '-') THEN
           kind := kind || 'E'::text; txt := txt || substr(s, i + 1, 1); i := i + 2; d := 0;
           WHILE i <= n AND substr(s, i, 1) IN ('0', '#') LOOP
             IF substr(s, i, 1) = '0' THEN d := d + 1; END IF; i := i + 1; END LOOP;
           i := i - 1; expd := expd || d;
         ELSE kind := kind || 'L'::text; txt := txt || c; expd := expd || 0;
         END IF;
         i := i + 1;
       END LOOP;
       cnt := coalesce(array_length(kind, 1), 0);
       int_end := cnt + 1; frac_end := cnt + 1;
       FOR j IN 1..cnt LOOP
         IF kind[j] = 'E' AND exp_at = 0 THEN exp_at := j; IF NOT has_point THEN int_end := j; END IF; frac_end := j; END IF;
         IF kind[j] = '.' AND exp_at = 0 THEN has_point := true; int_end := j; END IF;
         IF kind[j] = '%' THEN percents := percents + 1; END IF;
       END LOOP;
       FOR j IN 1..int_end - 1 LOOP
         IF kind[j] IN ('0', '#') THEN
           IF first_int = 0 THEN first_int := j; END IF;
           last_int := j; int_ph := int_ph + 1;
           IF kind[j] = '0' THEN int_zeros := int_zeros + 1; END IF;
         END IF;
       END LOOP;
       FOR j IN 1..int_end - 1 LOOP
         IF kind[j] = ',' THEN
           IF j > first_int AND j < last_int THEN grouping := true; END IF;
           IF last_int > 0 AND j > last_int THEN scaling := scaling + 1; END IF;
         END IF;
       END LOOP;
       IF has_point THEN counted := 0;
         FOR j IN int_end + 1..frac_end - 1 LOOP
           IF kind[j] IN ('0', '#') THEN counted := counted + 1;
             IF kind[j] = '0' THEN min_frac := counted; END IF; END IF;
         END LOOP;
         max_frac := counted;
       END IF;
       v := v * power(100.0, percents) / power(1000.0, scaling);
       IF int_ph = 0 AND max_frac = 0 AND exp_at = 0 THEN
         -- No placeholders: the section is literal text ("Zero", "n/a").
         out := '';
         FOR j IN 1..cnt LOOP IF kind[j] IN ('L', '%', '.', ',') THEN out := out || txt[j]; END IF; END LOOP;
         RETURN out;
       END IF;
       -- Numbers are read with 15 significant digits, as everywhere else.
       x := abs(v)::numeric;
       IF exp_at > 0 THEN
         int_count := greatest(1, int_ph);
         sig := least(greatest(int_count + max_frac, 1), 15);
         negative := v < 0;
         IF x = 0 THEN all_digits := '0';
         ELSE
           e := floor(log(x))::integer;
           r := round(x / power(10::numeric, e), sig - 1);
           IF r >= 10 THEN e := e + 1; r := round(x / power(10::numeric, e), sig - 1); END IF;
           all_digits := rtrim(replace(r::text, '.', ''), '0');
           IF all_digits = '' THEN all_digits := '0'; END IF;
           exponent := e - (int_count - 1);
         END IF;
         all_digits := rpad(all_digits, int_count + max_frac, '0');
         int_digits := left(all_digits, int_count);
         fraction := substr(all_digits, int_count + 1);
       ELSE
         r := round(x, max_frac);
         negative := v < 0 AND r <> 0;
         int_digits := trunc(r)::text;
         fraction := rpad(split_part(r::text, '.', 2), max_frac, '0');
         IF int_digits = '0' THEN int_digits := ''; END IF;
       END IF;
       WHILE length(fraction) > min_frac AND right(fraction, 1) = '0' LOOP fraction := left(fraction, -1); END LOOP;
       IF length(int_digits) < int_zeros THEN int_digits := lpad(int_digits, int_zeros, '0'); END IF;
       left_digits := int_digits;
       IF grouping THEN left_digits := replace(ltrim(reverse(regexp_replace(reverse(left_digits),
         '(\d{3})', '\1,', 'g')), ','), ',', gs); END IF;
       FOR j IN REVERSE int_end - 1..1 LOOP
         IF kind[j] IN ('0', '#') THEN
           IF grouping THEN IF j = last_int THEN integer_part := left_digits || integer_part; END IF;
           ELSIF j = first_int THEN integer_part := left_digits || integer_part; left_digits := '';
           ELSIF left_digits <> '' THEN integer_part := right(left_digits, 1) || integer_part; left_digits := left(left_digits, -1);
           END IF;
         ELSIF kind[j] IN ('L', '%') THEN integer_part := txt[j] || integer_part;
         END IF;
       END LOOP;
       IF int_ph = 0 THEN integer_part := integer_part || left_digits; END IF;
       out := integer_part;
       IF has_point THEN
         out := out || dp; nxt := 1;
         FOR j IN int_end + 1..frac_end - 1 LOOP
           IF kind[j] IN ('0', '#') THEN
             IF nxt <= length(fraction) THEN out := out || substr(fraction, nxt, 1); END IF;
             nxt := nxt + 1;
           ELSIF kind[j] IN ('L', '%') THEN out := out || txt[j];
           END IF;
         END LOOP;
       END IF;
       IF exp_at > 0 THEN
         out := out || 'E' || CASE WHEN exponent < 0 THEN '-' WHEN txt[exp_at] = '+' THEN '+' ELSE '' END
                || lpad(abs(exponent)::text, greatest(expd[exp_at], length(abs(exponent)::text)), '0');
         FOR j IN exp_at + 1..cnt LOOP IF kind[j] IN ('L', '%') THEN out := out || txt[j]; END IF; END LOOP;
       END IF;
       RETURN CASE WHEN negative THEN '-' || out ELSE out END; END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_format_number(v double precision, p text,
       dp text DEFAULT '.', gs text DEFAULT ',') RETURNS text
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE sections text[] := public.jet_sections(p); BEGIN
       IF v < 0 AND array_length(sections, 1) >= 2 AND sections[2] <> '' THEN
         RETURN public.jet_format_section(-v, sections[2], dp, gs); END IF;
       IF v = 0 AND array_length(sections, 1) >= 3 AND sections[3] <> '' THEN
         RETURN public.jet_format_section(v, sections[3], dp, gs); END IF;
       RETURN public.jet_format_section(v, sections[1], dp, gs); END $$)",
    // The value is a date's ISO text, a number's text, or any other text.
    R"(CREATE OR REPLACE FUNCTION public.jet_format(t text, p text DEFAULT NULL,
       dp text DEFAULT '.', gs text DEFAULT ',') RETURNS text
       LANGUAGE plpgsql IMMUTABLE AS $$ DECLARE
       is_date boolean := t ~ '^\d{4}-\d\d-\d\d( \d\d:\d\d(:\d\d)?)?$'; num double precision;
       lp text := lower(coalesce(p, '')); q text; sections text[]; truth boolean; BEGIN
       IF t IS NULL THEN
         -- A fourth section is the text for Null ("0.00;-0.00;0;n/a").
         IF p IS NULL THEN RETURN ''; END IF;
         sections := public.jet_sections(p);
         IF array_length(sections, 1) < 4 OR public.jet_is_date_pattern(p) THEN RETURN ''; END IF;
         RETURN public.jet_format_section(0, sections[4], dp, gs);
       END IF;
       IF t ~ '^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?\s*$' THEN num := t::double precision;
       ELSIF is_date THEN num := extract(epoch FROM t::timestamp - timestamp '1899-12-30') / 86400.0;
       END IF;
       IF lp = '' OR lp = 'general date' THEN
         IF is_date THEN RETURN public.jet_gdate(t); END IF;
         IF lp = '' OR num IS NULL THEN RETURN t; END IF;
         RETURN public.jet_gdate(to_char(timestamp '1899-12-30' + num * interval '1 day', 'YYYY-MM-DD HH24:MI:SS'));
       END IF;
       IF lp IN ('true/false', 'yes/no', 'on/off') THEN
         truth := CASE WHEN lower(btrim(t)) = 'true' THEN true WHEN lower(btrim(t)) = 'false' THEN false
                  WHEN num IS NOT NULL THEN num <> 0 END;
         IF truth IS NULL THEN RETURN t; END IF;
         RETURN initcap(split_part(lp, '/', CASE WHEN truth THEN 1 ELSE 2 END));
       END IF;
       IF lp = 'general number' THEN RETURN CASE WHEN num IS NULL THEN t ELSE public.jet_cstr(num) END; END IF;
       IF p = '>' THEN RETURN upper(t); END IF;
       IF p = '<' THEN RETURN lower(t); END IF;
       q := public.jet_named_format(p);
       IF public.jet_is_date_pattern(q) THEN
         IF is_date THEN RETURN public.jet_format_date(t::timestamp, q); END IF;
         IF num IS NULL OR num < -657434 OR num > 2958465 THEN RETURN t; END IF;
         RETURN public.jet_format_date(timestamp '1899-12-30' + num * interval '1 day', q);
       END IF;
       RETURN CASE WHEN num IS NULL THEN t ELSE public.jet_format_number(num, q, dp, gs) END; END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_format(n double precision, p text DEFAULT NULL,
       dp text DEFAULT '.', gs text DEFAULT ',') RETURNS text LANGUAGE sql IMMUTABLE AS $$
       SELECT CASE WHEN n IS NULL THEN public.jet_format(NULL::text, p, dp, gs)
       ELSE public.jet_format(public.jet_cstr(n), p, dp, gs) END $$)",
    // Auto-numbers of rows that statements add (the engine's own AddNew numbers its rows),
    // and the mark raised by a number written by hand. The marks are the schema's own.
    R"(CREATE OR REPLACE FUNCTION public.jet_autonumber(t text, c text) RETURNS integer
       LANGUAGE sql VOLATILE AS $$ UPDATE tv_autonumber SET last = last + 1
       WHERE tablename = t AND columnname = c RETURNING last::integer $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_raise_mark() RETURNS trigger LANGUAGE plpgsql AS $$
       DECLARE v bigint; BEGIN EXECUTE format('SELECT ($1).%I', TG_ARGV[1]) INTO v USING NEW;
       IF v IS NOT NULL THEN UPDATE tv_autonumber SET last = v WHERE tablename = TG_ARGV[0]
       AND columnname = TG_ARGV[1] AND last < v; END IF; RETURN NULL; END $$)",
    // First and Last keep a row's value even when it is Null: the state is an array, empty
    // until the first row.
    R"(CREATE OR REPLACE FUNCTION public.jet_keep_first(s anyarray, v anyelement) RETURNS anyarray
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN s IS NULL THEN ARRAY[v] ELSE s END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_keep_last(s anyarray, v anyelement) RETURNS anyarray
       LANGUAGE sql IMMUTABLE AS $$ SELECT ARRAY[v] $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_kept(s anyarray) RETURNS anyelement
       LANGUAGE sql IMMUTABLE AS $$ SELECT s[1] $$)",
    R"(CREATE OR REPLACE AGGREGATE public.jet_first(anyelement) (SFUNC = public.jet_keep_first,
       STYPE = anyarray, FINALFUNC = public.jet_kept))",
    R"(CREATE OR REPLACE AGGREGATE public.jet_last(anyelement) (SFUNC = public.jet_keep_last,
       STYPE = anyarray, FINALFUNC = public.jet_kept))",
};

}  // namespace

void createServerFunctions(PgSession& session) {
    session.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS public.tv_site (name text PRIMARY KEY, "
                                "value integer NOT NULL)"));
    auto current = session.unprepared(
        QStringLiteral("SELECT value FROM public.tv_site WHERE name = 'functions'"));
    if (current->step() && current->intAt(0) >= kFunctionsVersion) return;
    // One program replaces them at a time; the others find them done.
    session.exec(QStringLiteral("BEGIN"));
    try {
        session.exec(QStringLiteral("SELECT pg_advisory_xact_lock(5456564)"));
        // Bodies name each schema's own tables, found when called.
        session.exec(QStringLiteral("SET LOCAL check_function_bodies = off"));
        auto again = session.unprepared(
            QStringLiteral("SELECT value FROM public.tv_site WHERE name = 'functions'"));
        if (!again->step() || again->intAt(0) < kFunctionsVersion) {
            // Older definitions go first: a changed result type cannot be replaced in place.
            // The auto-number function and trigger stay (replaced in place): tables' defaults
            // and triggers hang on them.
            session.exec(QStringLiteral(
                "DO $$ DECLARE f record; BEGIN FOR f IN SELECT p.oid::regprocedure AS sig, p.prokind "
                "FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = "
                "'public' AND p.proname LIKE 'jet\\_%' AND p.proname NOT IN ('jet_autonumber', "
                "'jet_raise_mark') ORDER BY p.prokind = 'a' DESC LOOP "
                "IF f.prokind = 'a' THEN EXECUTE 'DROP AGGREGATE IF EXISTS ' || f.sig; ELSE "
                "EXECUTE 'DROP FUNCTION IF EXISTS ' || f.sig; END IF; END LOOP; END $$"));
            for (const char* definition : kDefinitions) session.exec(QString::fromUtf8(definition));
            session.exec(QStringLiteral("INSERT INTO public.tv_site VALUES ('functions', %1) ON "
                                        "CONFLICT (name) DO UPDATE SET value = excluded.value")
                             .arg(kFunctionsVersion));
        }
        session.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        session.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void upgradeServerFunctions(PgSession& session, const QString& site) {
    // Once per site and process: the post office and the mail check open a session for
    // every operation.
    static QMutex mutex;
    static QSet<QString> current;
    const QMutexLocker lock(&mutex);
    if (current.contains(site)) return;
    try {
        auto stored = session.unprepared(QStringLiteral(
            "SELECT value FROM public.tv_site WHERE name = 'functions'"));
        if (!stored->step() || stored->intAt(0) < kFunctionsVersion) createServerFunctions(session);
        current.insert(site);
    } catch (const DbError& e) {
        // A user without the right to replace them works on with the site's own.
        qWarning().noquote() << "The site's functions were not brought up to date:" << e.text();
    }
}

}  // namespace tv::engine::dialect
