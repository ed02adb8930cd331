// The dialect's jet_* functions on a server, as SQL functions in the site database's public
// schema: translations call the same names on both backends. Dates are ISO texts, as the
// engine stores them; a date's number is its serial day (1899-12-30 is day 0).
#include "engine/jet_dialect.h"
#include "engine/pg_session.h"

namespace tv::engine::dialect {

namespace {

// Bumped whenever a definition changes: a site made by an older program gets the new ones.
constexpr int kFunctionsVersion = 10;

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
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
       ELSE left(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_right(t text, n double precision) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n < 0 THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
       WHEN n = 0 THEN '' ELSE right(t, n::integer) END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mid(t text, s double precision, n double precision DEFAULT NULL)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN s < 1 OR n < 0
       THEN public.jet_fail(5, 'Invalid procedure call or argument.')::text
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
       ELSE public.jet_fail(13, 'Type mismatch.')::text::timestamp END $$)",
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
       IMMUTABLE AS $$ SELECT CASE WHEN n < -657434 OR n >= 2958466 THEN public.jet_fail(6, 'Overflow.')::text
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
       THEN public.jet_fail(6, 'Overflow.') ELSE n END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_div(a double precision, b double precision)
       RETURNS double precision LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN b = 0 AND a = 0
       THEN public.jet_fail(6, 'Overflow.') WHEN b = 0
       THEN public.jet_fail(11, 'Division by zero.') ELSE a / b END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_intdiv(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero.')::bigint WHEN abs(a) > 2147483647.5 OR abs(b) > 2147483647.5
       THEN public.jet_fail(6, 'Overflow.')::bigint ELSE trunc(round(a) / round(b))::bigint END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_mod(a double precision, b double precision)
       RETURNS bigint LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN round(b) = 0
       THEN public.jet_fail(11, 'Division by zero.')::bigint ELSE mod(round(a)::bigint, round(b)::bigint) END $$)",
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
       THEN btrim(t)::double precision ELSE public.jet_fail(13, 'Type mismatch.') END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdbl(n double precision) RETURNS double precision
       LANGUAGE sql IMMUTABLE AS $$ SELECT n $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_clng(n double precision) RETURNS bigint LANGUAGE sql
       IMMUTABLE AS $$ SELECT CASE WHEN abs(n) > 2147483647.5 THEN public.jet_fail(6, 'Overflow.')::bigint
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
       ELSE public.jet_fail(5, 'Invalid procedure call or argument.')::text::interval END $$)",
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
       ELSE public.jet_fail(5, 'Invalid procedure call or argument.') END::integer $$)",
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
       ELSE public.jet_fail(5, 'Invalid procedure call or argument.') END::bigint $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_dateserial(y double precision, m double precision, d double precision)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_iso(make_timestamp(y::integer, 1, 1, 0, 0, 0)
       + make_interval(months => m::integer - 1, days => d::integer - 1)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_timeserial(h double precision, m double precision, s double precision)
       RETURNS text LANGUAGE sql IMMUTABLE AS $$ SELECT public.jet_iso(timestamp '1899-12-30'
       + make_interval(hours => h::integer, mins => m::integer, secs => s)) $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_cdate(t text) RETURNS text LANGUAGE sql IMMUTABLE
       AS $$ SELECT CASE WHEN t IS NULL THEN NULL WHEN t ~ '^\d{4}-\d\d-\d\d' THEN public.jet_iso(public.jet_ts(t))
       WHEN t ~ '^\d{1,2}/\d{1,2}/\d{4}( \d{1,2}:\d\d(:\d\d)?)?$' THEN public.jet_iso(to_timestamp(t, 'DD/MM/YYYY HH24:MI:SS')::timestamp)
       ELSE public.jet_fail(13, 'Type mismatch.')::text END $$)",
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
    // Format: a date as General Date, or by a pattern of d/m/y/h/n/s; a number by 0 and # (at
    // least one whole digit where the pattern has a 0 before its point, thousands when it has a
    // comma there).
    R"(CREATE OR REPLACE FUNCTION public.jet_format(t text, p text DEFAULT NULL) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN t IS NULL THEN NULL
       WHEN t ~ '^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$' THEN CASE WHEN p IS NULL OR lower(p) = 'general date'
         THEN public.jet_gdate(t) ELSE to_char(public.jet_ts(t), replace(replace(replace(replace(replace(
         replace(replace(lower(p), 'yyyy', 'YYYY'), 'mmmm', 'FMMonth'), 'mmm', 'Mon'), 'hh', 'HH24'),
         'nn', 'MI'), 'ss', 'SS'), 'dd', 'DD')) END
       ELSE t END $$)",
    R"(CREATE OR REPLACE FUNCTION public.jet_format(n double precision, p text DEFAULT NULL) RETURNS text
       LANGUAGE sql IMMUTABLE AS $$ SELECT CASE WHEN n IS NULL THEN NULL WHEN p IS NULL THEN public.jet_cstr(n)
       ELSE btrim(to_char(n, 'FM' || CASE WHEN split_part(p, '.', 1) LIKE '%,%'
         THEN '999G999G999G999G99' ELSE '99999999999999' END
         || CASE WHEN split_part(p, '.', 1) LIKE '%0%' THEN '0' ELSE '9' END
         || CASE WHEN strpos(p, '.') > 0 THEN '.' || replace(replace(split_part(p, '.', 2), '#', '9'), ',', '')
         ELSE '' END)) END $$)",
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
            session.exec(QStringLiteral(
                "DO $$ DECLARE f record; BEGIN FOR f IN SELECT p.oid::regprocedure AS sig, p.prokind "
                "FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace WHERE n.nspname = "
                "'public' AND p.proname LIKE 'jet\\_%' ORDER BY p.prokind = 'a' DESC LOOP "
                "IF f.prokind = 'a' THEN EXECUTE 'DROP AGGREGATE IF EXISTS ' || f.sig; ELSE "
                "EXECUTE 'DROP FUNCTION IF EXISTS ' || f.sig || ' CASCADE'; END IF; END LOOP; END $$"));
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

}  // namespace tv::engine::dialect
